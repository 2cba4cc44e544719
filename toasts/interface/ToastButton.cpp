#include "toasts/interface/ToastButton.h"

#include "toasts/engine/ToastCancellation.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/styles/ToastButtonStyle.h"
#include "toasts/values/ToastStringTable.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"

#include <QShortcut>

ToastButton::ToastButton(const char* titleKey, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const char* titleKey, const QString& symbol, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{symbol, {}}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, const QString& symbol, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{symbol, {}}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const char* titleKey, const ToastImageResource& image, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{{}, image.path()}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, const ToastImageResource& image, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{{}, image.path()}, std::nullopt, std::move(action), parent)
{
}

ToastButton::ToastButton(const char* titleKey, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(const char* titleKey, const QString& symbol, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{symbol, {}}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(const QString& title, const QString& symbol, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{symbol, {}}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(
    const char* titleKey, const ToastImageResource& image, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, ToastStringTable::text(titleKey), Icon{{}, image.path()}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(
    const QString& title, const ToastImageResource& image, Role role, Action action, QWidget* parent)
    : ToastButton(Made{}, title, Icon{{}, image.path()}, role, std::move(action), parent)
{
}

ToastButton::ToastButton(Made, const QString& title, const Icon& icon, Role role, Action action, QWidget* parent)
    : QPushButton(title, parent)
    , m_symbol(icon.symbol)
    , m_role(role)
    , m_action(std::move(action))
    , m_box(this, [] { return std::make_shared<CancellablesBox>(); })
{
    if (!icon.symbol.isEmpty())
        tintSymbol();
    else if (const ToastImageResource image(icon.imagePath); image.exists())
        setIcon(QIcon(image.path()));
    connect(this, &QPushButton::clicked, this, &ToastButton::press);
    if (role == ToastButtonRole::destructive) {
        onColorSchemeChange(this, [this](ColorScheme scheme) {
            // Inside a toast the toast's button style colours every button.
            if (ToastButtonStyle::of(this))
                return;
            QPalette palette = this->palette();
            palette.setColor(QPalette::ButtonText, SemanticColors::red(scheme));
            setPalette(palette);
        });
    } else if (role == ToastButtonRole::cancel) {
        // With several cancel buttons in one window Qt finds Escape
        // ambiguous; either way the one in front answers it.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WindowShortcut);
        const auto pressFront = [this] {
            if (ToastButton* front = frontCancelButton(window()))
                front->animateClick();
        };
        connect(escape, &QShortcut::activated, this, pressFront);
        connect(escape, &QShortcut::activatedAmbiguously, this, pressFront);
    }
}

void ToastButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_symbol.isEmpty())
        tintSymbol();
}

void ToastButton::tintSymbol()
{
    setIcon(symbolIcon(m_symbol, palette().color(QPalette::ButtonText)));
}

ToastButton* ToastButton::frontCancelButton(QWidget* window)
{
    // Of two widgets, the one in front is the later among the children of
    // the ancestor where their lines part (raising a widget moves it last).
    const auto lineOf = [window](QWidget* widget) {
        QList<QObject*> line;
        for (QObject* node = widget; node && node != window; node = node->parent())
            line.prepend(node);
        return line;
    };
    const auto inFront = [&lineOf](QWidget* a, QWidget* b) {
        const QList<QObject*> lineA = lineOf(a);
        const QList<QObject*> lineB = lineOf(b);
        for (qsizetype i = 0; i < std::min(lineA.size(), lineB.size()); ++i) {
            if (lineA[i] == lineB[i])
                continue;
            const QObjectList& siblings = lineA[i]->parent()->children();
            return siblings.indexOf(lineA[i]) > siblings.indexOf(lineB[i]);
        }
        return lineA.size() > lineB.size();
    };
    ToastButton* front = nullptr;
    for (ToastButton* button : window->findChildren<ToastButton*>()) {
        if (button->m_role != ToastButtonRole::cancel || !button->isVisible() || !button->isEnabled())
            continue;
        if (!front || inFront(button, front))
            front = button;
    }
    return front;
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
