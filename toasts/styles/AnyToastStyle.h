#pragma once

#include "toasts/styles/ToastStyle.h"
#include "toasts/values/Toast.h"

#include "platform/Environment.h"

#include <memory>

// A toast style with its type erased, shared by its copies; it may travel
// between threads inside a presentation. An empty one draws as the default
// style, PlainToastStyle.
class AnyToastStyle : public ToastStyle {
public:
    AnyToastStyle() = default;
    template <typename Style>
        requires std::derived_from<Style, ToastStyle> && (!std::same_as<Style, AnyToastStyle>)
    explicit AnyToastStyle(Style style)
        : m_style(std::make_shared<const Style>(std::move(style)))
    {
    }

    QWidget* makeBody(const ToastConfiguration& configuration, QWidget* parent) const override;
    // The erased style, or null for the default.
    const ToastStyle* base() const { return m_style.get(); }

private:
    std::shared_ptr<const ToastStyle> m_style;
};

// The style toasts are drawn in below a widget; the plain style by default.
// Styles have no equality, so every write is a change.
struct ToastStyleEnvironmentKey {
    static const EnvironmentKey<AnyToastStyle>& key();
};

void toastStyle(QWidget* widget, AnyToastStyle style);

// Builds the toast's widget under `parent` with the style of the
// environment there.
QWidget* makeToastWidget(const Toast& toast, QWidget* parent);
