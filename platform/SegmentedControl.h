#pragma once

#include "platform/CachedPaint.h"
#include "platform/SemanticColors.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

// A row of mutually exclusive segments, with an optional title before it.
// Segments answer clicks and the arrow keys.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    void setSegments(const QStringList& titles);
    QStringList segments() const { return m_titles; }
    int count() const { return static_cast<int>(m_titles.size()); }

    // Empty hides the title.
    void setTitle(const QString& title);
    QString title() const { return m_title; }

    int currentIndex() const { return m_current; }
    // Does not emit activated().
    void setCurrentIndex(int index);

    // The area of a segment, in this widget's coordinates.
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user picked a segment (also the one already selected).
    void activated(int index);
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect trackRect() const;
    int segmentWidth() const;
    int titleWidth() const;
    void pick(int index);

    void draw(QPainter& painter, ColorScheme scheme) const;

    // Everything the drawing depends on besides the size.
    struct Look {
        ColorScheme scheme;
        bool enabled;
        bool ringed;
        int current;
        QString title;
        QStringList titles;
        QFont font;
        bool operator==(const Look&) const = default;
    };

    QString m_title;
    QStringList m_titles;
    int m_current = -1;
    bool m_keyboardFocus = false;
    CachedPaint<Look> m_drawn;
};
