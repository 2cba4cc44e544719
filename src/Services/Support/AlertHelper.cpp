#include "Services/Support/AlertHelper.h"

namespace {
constexpr double kShortSeconds = 2.0;
constexpr double kLoadingSeconds = 4.0;
} // namespace

Toast AlertHelper::successToast(const QString& title)
{
    return toast(title, QStringLiteral("checkmark.circle"), ToastRole::success);
}

Toast AlertHelper::failureToast(const QString& title)
{
    return toast(title, QStringLiteral("xmark.circle"), ToastRole::failure);
}

Toast AlertHelper::networkWarningToast(const QString& title)
{
    return toast(title, QStringLiteral("network.slash"), ToastRole::warning);
}

Toast AlertHelper::toast(const QString& title, const QString& systemImage, ToastRole role)
{
    return Toast::withSymbol(title, systemImage, role, ToastDuration(kShortSeconds));
}

Toast AlertHelper::loadingToast(const QString& title)
{
    return Toast::withProgressIndicator(title, ToastRole::informational, ToastDuration(kLoadingSeconds));
}
