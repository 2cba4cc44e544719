#include "toasts/ToastButton.h"

#include "toasts/ToastEnvironmentKeys.h"

#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"

ToastButton::ToastButton(const QString& title, Action action, QWidget* parent)
    : ToastButton(title, QString(), std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, const QString& symbol, Action action, QWidget* parent)
    : QPushButton(title, parent)
    , m_action(std::move(action))
    , m_box(this, [] { return std::make_shared<CancellablesBox>(); })
{
    if (!symbol.isEmpty())
        setIcon(symbolIcon(symbol, SemanticColors::primary(colorScheme(this))));
    connect(this, &QPushButton::clicked, this, &ToastButton::press);
}

void ToastButton::press()
{
    if (!m_action)
        return;
    const ScheduleToastAction scheduleToast{Environment::get(this, ToastPresenterEnvironmentKey::key()),
                                            ToastEnvironmentValues::capture(this),
                                            Environment::get(this, ToastCancellationEnvironmentKey::key()),
                                            ToastCancellation::presentation, m_box.wrappedValue()};
    m_action(scheduleToast);
}
