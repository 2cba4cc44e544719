#include "toasts/engine/HostedToastContent.h"

#include "toasts/styles/AnyToastStyle.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/values/ToastPresentedAlignment.h"

#include <QVBoxLayout>
#include <QWidget>

std::function<QWidget*(QWidget* parent)> hostedToastView(
    const ToastPresentation& presentation, const QVariant& id, std::function<void()> dismiss)
{
    const ToastDismissAction action(static_cast<qint64>(qHash(id.toString())), std::move(dismiss));
    return [toast = presentation.toast, alignment = presentation.toastAlignment,
               values = presentation.toastEnvironmentValues, action](QWidget* parent) -> QWidget* {
        auto* root = new QWidget(parent);
        root->setObjectName(QStringLiteral("HostedToastContent"));
        root->setAttribute(Qt::WA_TranslucentBackground);
        Environment::set(root, ToastPresentedAlignmentEnvironmentKey::key(), std::optional<ToastAlignment>(alignment));
        Environment::set(root, ToastDismissEnvironmentKey::key(), std::optional<ToastDismissAction>(action));
        Environment::set(root, ToastStyleEnvironmentKey::key(), values.toastStyle);
        Environment::set(root, ToastInteractiveDismissEnabledEnvironmentKey::key(), values.toastInteractiveDismissEnabled);
        auto* layout = new QVBoxLayout(root);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(makeToastWidget(toast, root));
        return root;
    };
}
