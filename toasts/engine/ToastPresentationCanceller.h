#pragma once

#include <functional>
#include <memory>

// The link between the view that scheduled a toast and the presenter that
// shows it: the presenter installs a handler that removes the toast while it
// is on screen, and resets it to nothing afterwards. Owned through a
// shared_ptr by the scheduling side; a presentation refers to it weakly.
// The handler runs on the main thread.
class ToastPresentationCanceller : public std::enable_shared_from_this<ToastPresentationCanceller> {
public:
    static std::shared_ptr<ToastPresentationCanceller> make();
    ~ToastPresentationCanceller();

    ToastPresentationCanceller(const ToastPresentationCanceller&) = delete;
    ToastPresentationCanceller& operator=(const ToastPresentationCanceller&) = delete;

    // When set, releasing the canceller runs the handler: at once on the main
    // thread, and carried over to the main thread when released elsewhere.
    bool dismissOnDeinit() const { return m_dismissOnDeinit; }
    void setDismissOnDeinit(bool dismiss) { m_dismissOnDeinit = dismiss; }

    const std::function<void()>& presentationDismissalHandler() const { return m_handler; }
    void setPresentationDismissalHandler(std::function<void()> handler);

    // Asks for the dismissal: the handler runs on the main thread's next turn
    // (the handler installed by then), keeping the canceller alive till then.
    void dismiss();

private:
    ToastPresentationCanceller() = default;

    bool m_dismissOnDeinit = false;
    std::function<void()> m_handler = [] {};
};
