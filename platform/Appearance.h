#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Tells when a widget comes on screen and when it leaves it, for the helpers
// attached to it. Minimising its window is not leaving: Qt hides and shows
// every child then, but the widget stays visible, so those events are
// ignored. Appears at once when made on a visible widget. Main thread.
class AppearanceObserver : public QObject {
    Q_OBJECT
public:
    explicit AppearanceObserver(QWidget* target, QObject* parent = nullptr);

    bool isAppeared() const { return m_appeared; }
    QWidget* target() const { return m_target; }

signals:
    void appeared();
    void disappeared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QPointer<QWidget> m_target;
    bool m_appeared = false;
};

// Runs `action` on each appearance and disappearance of `target`; the hooks
// live as long as the target.
AppearanceObserver* onAppear(QWidget* target, std::function<void()> action);
AppearanceObserver* onDisappear(QWidget* target, std::function<void()> action);
