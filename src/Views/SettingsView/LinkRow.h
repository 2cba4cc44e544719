#pragma once

#include <QAbstractButton>

class QLabel;

// A button drawn as a row of the settings page: a tinted tile with a symbol,
// the title and a chevron. The whole row is the click target; there is no
// bezel.
class LinkRow : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kTileSide = 42;

    LinkRow(const QString& systemImage, const QString& title, QWidget* parent = nullptr);

    QString systemImage() const { return m_systemImage; }
    QLabel* titleLabel() const { return m_title; }

    // Opacity of the accent fill behind the symbol in a scheme.
    static qreal tileOpacity(bool dark) { return dark ? 0.28 : 0.12; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_systemImage;
    QWidget* m_tile;
    QLabel* m_title;
    QLabel* m_chevron;
};
