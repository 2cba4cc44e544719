#include "platform/Presentation.h"

#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace Presentation {
QWidget* sheetOf(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    QWidget* window = widget->window();
    // A window with an owner is presented over it; a window without one is a
    // scene of its own.
    return window->parentWidget() ? window : nullptr;
}

bool isPresented(const QWidget* widget)
{
    const QWidget* sheet = sheetOf(widget);
    return sheet && sheet->isVisible();
}
} // namespace Presentation

PresentationObserver::PresentationObserver(QWidget* widget, QObject* parent)
    : QObject(parent ? parent : widget)
    , m_widget(widget)
{
}

bool PresentationObserver::note()
{
    QWidget* sheet = Presentation::sheetOf(m_widget);
    const bool presented = sheet && sheet->isVisible();
    if (presented && (!m_armed || sheet != m_sheet))
        watch(sheet);
    return presented;
}

void PresentationObserver::watch(QWidget* sheet)
{
    if (m_sheet) {
        m_sheet->removeEventFilter(this);
        disconnect(m_sheet, nullptr, this, nullptr);
    }
    m_sheet = sheet;
    m_armed = true;
    sheet->installEventFilter(this);
    connect(sheet, &QObject::destroyed, this, &PresentationObserver::end);
    if (auto* dialog = qobject_cast<QDialog*>(sheet))
        connect(dialog, &QDialog::finished, this, &PresentationObserver::end);
}

bool PresentationObserver::eventFilter(QObject* watched, QEvent* event)
{
    // A hide that leaves the sheet visible is its owner being minimised.
    if (watched == m_sheet && event->type() == QEvent::Hide && !m_sheet->isVisible())
        end();
    return QObject::eventFilter(watched, event);
}

void PresentationObserver::end()
{
    if (!m_armed)
        return;
    m_armed = false;
    if (m_sheet) {
        m_sheet->removeEventFilter(this);
        disconnect(m_sheet, nullptr, this, nullptr);
    }
    m_sheet = nullptr;
    emit presentationEnded();
}
