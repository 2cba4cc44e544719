#include "platform/ColorSchemeWatcher.h"

#include <QEvent>
#include <QWidget>

ColorSchemeWatcher::ColorSchemeWatcher(QWidget* target, Apply apply)
    : QObject(target)
    , m_target(target)
    , m_apply(std::move(apply))
{
    target->installEventFilter(this);
    connect(ColorSchemeNotifier::instance(), &ColorSchemeNotifier::schemeOverrideChanged, this,
            &ColorSchemeWatcher::recheck);
}

ColorScheme ColorSchemeWatcher::scheme() const
{
    return colorScheme(m_target);
}

void ColorSchemeWatcher::recheck()
{
    if (m_applying)
        return;
    const ColorScheme now = colorScheme(m_target);
    if (m_applied == now)
        return;
    m_applied = now;
    m_applying = true;
    m_apply(now);
    m_applying = false;
}

bool ColorSchemeWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::ThemeChange:
        case QEvent::StyleChange:
        // The scheme is read from the window: a widget moved into another
        // window may be drawn in another scheme.
        case QEvent::ParentChange:
        case QEvent::Show:
            recheck();
            // A palette change reaches widgets in no fixed order, so this one
            // may hear of it before its window (whose palette decides) has
            // taken the new palette: look again once the change is through.
            if (!m_recheckQueued) {
                m_recheckQueued = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_recheckQueued = false;
                        recheck();
                    },
                    Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

ColorSchemeWatcher* onColorSchemeChange(QWidget* target, ColorSchemeWatcher::Apply apply)
{
    auto* watcher = new ColorSchemeWatcher(target, std::move(apply));
    watcher->recheck();
    return watcher;
}
