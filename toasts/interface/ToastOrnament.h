#pragma once

#include <Qt>

#include <memory>

// Holds an ornament's content alignment and keeps itself alive through its
// own self-reference until that is cleared. Nothing in the application makes
// one yet. Releasing a chain of ornaments linked through their
// self-references unwinds it in a loop, so a long chain never recurses.
class ToastOrnament {
public:
    static std::shared_ptr<ToastOrnament> make(Qt::Alignment contentAlignment);
    ~ToastOrnament();

    ToastOrnament(const ToastOrnament&) = delete;
    ToastOrnament& operator=(const ToastOrnament&) = delete;

    Qt::Alignment contentAlignment() const { return m_contentAlignment; }

    const std::shared_ptr<ToastOrnament>& selfReference() const { return m_selfReference; }
    void setSelfReference(std::shared_ptr<ToastOrnament> reference) { m_selfReference = std::move(reference); }

private:
    explicit ToastOrnament(Qt::Alignment contentAlignment)
        : m_contentAlignment(contentAlignment)
    {
    }

    const Qt::Alignment m_contentAlignment;
    std::shared_ptr<ToastOrnament> m_selfReference;
};
