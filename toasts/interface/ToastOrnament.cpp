#include "toasts/interface/ToastOrnament.h"

std::shared_ptr<ToastOrnament> ToastOrnament::make(Qt::Alignment contentAlignment)
{
    std::shared_ptr<ToastOrnament> ornament(new ToastOrnament(contentAlignment));
    ornament->m_selfReference = ornament;
    return ornament;
}

ToastOrnament::~ToastOrnament()
{
    // Take each link out before its holder goes, so that releasing the last
    // reference of a link never releases the next one from inside a destructor.
    std::shared_ptr<ToastOrnament> next = std::move(m_selfReference);
    while (next && next.use_count() == 1) {
        std::shared_ptr<ToastOrnament> after = std::move(next->m_selfReference);
        next = std::move(after);
    }
}
