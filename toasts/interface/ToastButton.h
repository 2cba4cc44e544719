#pragma once

#include "toasts/interface/CancellablesBox.h"
#include "toasts/interface/PresentationBoundState.h"
#include "toasts/interface/ScheduleToastAction.h"
#include "toasts/values/ToastImageResource.h"

#include <QPushButton>

#include <functional>
#include <memory>
#include <optional>

// What a button does as the platform sees it: a destructive button draws its
// title in the warning colour (inside a toast, in the toast's button colour);
// a cancel button answers Escape in its window, the one in front when there
// are several (a toast's over the window's own).
enum class ToastButtonRole {
    destructive,
    cancel,
};

// A button whose action can raise toasts: each press hands the action a
// ScheduleToastAction built from the toast environment at the button, once.
// The handles of its toasts live in a box that goes with the button or with
// the sheet it sits in, withdrawing the toasts still queued. Main thread.
//
// Its title is a key looked up in the application's string table
// (ToastStringTable) when given as a `const char*`, or shown verbatim when
// given as a QString; its icon an optional system symbol or resource image (a missing
// image shows none); its role optional.
class ToastButton : public QPushButton {
public:
    using Action = std::function<void(const ScheduleToastAction& scheduleToast)>;
    using Role = std::optional<ToastButtonRole>;

    ToastButton(const char* titleKey, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, Action action, QWidget* parent = nullptr);
    ToastButton(const char* titleKey, const QString& symbol, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, const QString& symbol, Action action, QWidget* parent = nullptr);
    ToastButton(const char* titleKey, const ToastImageResource& image, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, const ToastImageResource& image, Action action, QWidget* parent = nullptr);
    ToastButton(const char* titleKey, Role role, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, Role role, Action action, QWidget* parent = nullptr);
    ToastButton(const char* titleKey, const QString& symbol, Role role, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, const QString& symbol, Role role, Action action, QWidget* parent = nullptr);
    ToastButton(const char* titleKey, const ToastImageResource& image, Role role, Action action,
        QWidget* parent = nullptr);
    ToastButton(const QString& title, const ToastImageResource& image, Role role, Action action,
        QWidget* parent = nullptr);

    Role role() const { return m_role; }
    std::shared_ptr<CancellablesBox> cancellablesBox() { return m_box.wrappedValue(); }

private:
    struct Made {};
    // A system symbol's name or a resource image's path; neither for none.
    struct Icon {
        QString symbol;
        QString imagePath;
    };
    ToastButton(Made, const QString& title, const Icon& icon, Role role, Action action, QWidget* parent);
    // The enabled, visible cancel button drawn in front in `window`, if any.
    static ToastButton* frontCancelButton(QWidget* window);
    void press();
    // A symbol is drawn in the button's text colour, whatever sets it (the
    // toast's button style, the destructive role, enabled or not).
    void changeEvent(QEvent* event) override;
    void tintSymbol();

    QString m_symbol;
    Role m_role;
    Action m_action;
    PresentationBoundState<std::shared_ptr<CancellablesBox>> m_box;
};
