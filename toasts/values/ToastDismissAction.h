#pragma once

#include "platform/Environment.h"

#include <QHashFunctions>
#include <QtGlobal>

#include <functional>
#include <optional>

// The action a toast's content calls to ask for its own removal. Two actions
// are the same when their signatures are: the closures are never compared.
class ToastDismissAction {
public:
    ToastDismissAction(qint64 idSignature, std::function<void()> action)
        : m_idSignature(idSignature)
        , m_action(std::move(action))
    {
    }

    qint64 idSignature() const { return m_idSignature; }

    void operator()() const
    {
        if (m_action)
            m_action();
    }

    friend bool operator==(const ToastDismissAction& a, const ToastDismissAction& b)
    {
        return a.m_idSignature == b.m_idSignature;
    }
    friend size_t qHash(const ToastDismissAction& action, size_t seed = 0) { return qHash(action.m_idSignature, seed); }

private:
    qint64 m_idSignature;
    std::function<void()> m_action;
};

// The dismiss action of the toast a widget is part of; none outside a toast.
struct ToastDismissEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastDismissAction>>& key();
};
// Whether a click on the toast dismisses it; true by default.
struct ToastInteractiveDismissEnabledEnvironmentKey {
    static const EnvironmentKey<bool>& key();
};

void toastInteractiveDismissDisabled(QWidget* widget, bool disabled);
