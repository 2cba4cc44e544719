#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// A presentation is a window shown over another one (a sheet, a dialog, any
// top-level widget with an owner). Main thread.
namespace Presentation {
// The presented window the widget sits in, or null when it sits in a window
// of its own (a main window) or in none.
QWidget* sheetOf(const QWidget* widget);
// Whether the widget sits in a presentation that is on screen.
bool isPresented(const QWidget* widget);
} // namespace Presentation

// Tells a widget's helper when the presentation it sits in ends. Arms itself
// when asked to note the widget's place while its sheet is presented, and
// fires once when that sheet is closed, hidden for good or destroyed (not
// when its owner is minimised). It may be armed again afterwards.
class PresentationObserver : public QObject {
    Q_OBJECT
public:
    explicit PresentationObserver(QWidget* widget, QObject* parent = nullptr);

    // Records whether the widget sits in a presented sheet now; returns that.
    bool note();
    bool isArmed() const { return m_armed; }

signals:
    void presentationEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* sheet);
    void end();

    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_sheet;
    bool m_armed = false;
};
