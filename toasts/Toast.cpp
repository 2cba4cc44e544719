#include "toasts/Toast.h"

#include "toasts/ToastEnvironmentKeys.h"

#include <QCoreApplication>

Toast Toast::verbatim(const QString& title, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::title(title)});
}

Toast Toast::localized(const char* key, ToastRole role, ToastDuration duration)
{
    return verbatim(QCoreApplication::translate("Toast", key), role, duration);
}

Toast Toast::withSymbol(const QString& title, const QString& symbol, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::label(title, symbol)});
}

Toast Toast::labeledContent(const QString& title, const QString& subtitle, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::labeledContent(title, subtitle)});
}

Toast Toast::custom(ToastRole role, ToastDuration duration, ToastContent::Factory factory)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::custom(std::move(factory))});
}

QWidget* Toast::makeWidget(QWidget* parent) const
{
    return Environment::get(parent, ToastStyleEnvironmentKey::key()).makeBody(configuration, parent);
}
