#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

// Follows whether a view sits in a presentation (a sheet or dialog that is
// shown) and tells when a presentation it was seen in has ended.
class PresentationWatcher : public QObject {
    Q_OBJECT
public:
    explicit PresentationWatcher(QWidget* view);

    // Whether the view's window is a shown sheet or dialog.
    bool isPresented() const;

signals:
    // The presentation ended (its window hid or closed).
    void presentationEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchWindow();

    QPointer<QWidget> m_view;
    QPointer<QWidget> m_window;
};

// A value a view keeps like its own state, but tied to the presentation
// that shows the view: once the view has been seen presented and that
// presentation ends, the value is dropped one event-loop turn later (so not
// in the middle of the hide), and the next read makes a fresh one. In a view
// that is never presented the value lives as long as the view. Dropping a
// set of cancellation handles cancels what they guard.
template <typename T>
class PresentationBoundState {
public:
    PresentationBoundState(QWidget* view, std::function<T()> provider)
        : m_watcher(new PresentationWatcher(view))
        , m_provider(std::move(provider))
    {
        QObject::connect(m_watcher, &PresentationWatcher::presentationEnded, m_watcher, [this] { update(); });
    }
    ~PresentationBoundState() { delete m_watcher.data(); }

    PresentationBoundState(const PresentationBoundState&) = delete;
    PresentationBoundState& operator=(const PresentationBoundState&) = delete;

    T& wrappedValue()
    {
        note(isPresented());
        if (!m_value)
            m_value.emplace(m_provider());
        return *m_value;
    }
    // Replaces the value.
    void setWrappedValue(T value) { m_value = std::move(value); }

    bool hasValue() const { return m_value.has_value(); }
    bool wasPresented() const { return m_wasPresented; }

    // Checks the presentation: drops the value a turn after a presentation
    // the view was seen in has ended; otherwise makes sure there is one.
    void update()
    {
        const bool presented = isPresented();
        note(presented);
        if (!m_wasPresented || presented) {
            if (!m_value)
                m_value.emplace(m_provider());
            return;
        }
        if (!m_value)
            return;
        QPointer<PresentationWatcher> guard(m_watcher);
        QMetaObject::invokeMethod(
            m_watcher.data(),
            [this, guard] {
                if (guard && !isPresented())
                    m_value.reset();
            },
            Qt::QueuedConnection);
    }

private:
    bool isPresented() const { return m_watcher && m_watcher->isPresented(); }
    void note(bool presented)
    {
        if (presented)
            m_wasPresented = true;
    }

    QPointer<PresentationWatcher> m_watcher;
    std::function<T()> m_provider;
    std::optional<T> m_value;
    bool m_wasPresented = false;
};
