#include "toasts/styles/AnyToastStyle.h"

#include "toasts/styles/PlainToastStyle.h"

QWidget* AnyToastStyle::makeBody(const ToastConfiguration& configuration, QWidget* parent) const
{
    if (m_style)
        return m_style->makeBody(configuration, parent);
    return PlainToastStyle().makeBody(configuration, parent);
}
