#include "Services/Support/AlertHelper.h"

#include "platform/ProgressIndicator.h"

#include <QHBoxLayout>
#include <QLabel>

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
    // The label's icon is a live indicator, which no symbol can be, so the
    // row is built here; the style still draws the card around it.
    return Toast::custom(ToastRole::informational, ToastDuration(kLoadingSeconds), [title](QWidget* parent) {
        auto* row = new QWidget(parent);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        auto* spinner = new ProgressIndicator(ProgressIndicator::Size::Small, row);
        spinner->setObjectName(QStringLiteral("ToastIcon"));
        auto* text = new QLabel(title, row);
        text->setTextFormat(Qt::PlainText);
        text->setObjectName(QStringLiteral("ToastTitle"));
        layout->addWidget(spinner);
        layout->addWidget(text, 1);
        return row;
    });
}
