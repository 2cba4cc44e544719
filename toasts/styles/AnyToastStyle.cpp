#include "toasts/styles/AnyToastStyle.h"

#include "toasts/styles/PlainToastStyle.h"

QWidget* AnyToastStyle::makeBody(const ToastConfiguration& configuration, QWidget* parent) const
{
    if (m_style)
        return m_style->makeBody(configuration, parent);
    return PlainToastStyle().makeBody(configuration, parent);
}

const EnvironmentKey<AnyToastStyle>& ToastStyleEnvironmentKey::key()
{
    static const EnvironmentKey<AnyToastStyle> key{
        "toastStyle", [] { return AnyToastStyle(); }, [](const AnyToastStyle&, const AnyToastStyle&) { return false; }};
    return key;
}

void toastStyle(QWidget* widget, AnyToastStyle style)
{
    Environment::set(widget, ToastStyleEnvironmentKey::key(), std::move(style));
}

QWidget* makeToastWidget(const Toast& toast, QWidget* parent)
{
    return Environment::get(parent, ToastStyleEnvironmentKey::key()).makeBody(toast.configuration, parent);
}
