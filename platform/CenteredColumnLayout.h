#pragma once

#include <QLayout>
#include <QWidget>

// Holds one item in a column of at most a given width, centred in the space
// the layout gets; narrower space gives the item the whole width. Heights
// that depend on width are asked at the column's real width.
class CenteredColumnLayout : public QLayout {
    Q_OBJECT
public:
    explicit CenteredColumnLayout(QWidget* parent = nullptr);
    ~CenteredColumnLayout() override;

    int maximumColumnWidth() const { return m_maximumWidth; }
    // QWIDGETSIZE_MAX lifts the limit.
    void setMaximumColumnWidth(int width);

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    int columnWidth(int available) const;

    QLayoutItem* m_item = nullptr;
    int m_maximumWidth = QWIDGETSIZE_MAX;
};
