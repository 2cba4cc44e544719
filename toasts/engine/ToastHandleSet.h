#pragma once

#include "platform/CancellationToken.h"

#include <memory>
#include <vector>

// The handles of the toasts one component scheduled. A handle whose toast
// has come on screen (or gone) can no longer withdraw anything; those are
// dropped on each insertion, so the set never grows without end. Moving the
// set moves the handles; destroying it cancels those left. Main thread.
class ToastHandleSet {
public:
    ToastHandleSet() = default;
    ToastHandleSet(ToastHandleSet&&) noexcept = default;
    ToastHandleSet& operator=(ToastHandleSet&& other) noexcept
    {
        if (this != &other) {
            cancelAll();
            m_entries = std::move(other.m_entries);
        }
        return *this;
    }
    ~ToastHandleSet() { cancelAll(); }

    // `settled` turns true once the toast is no longer queued.
    void insert(AnyCancellable handle, std::shared_ptr<const bool> settled = {});
    // Cancels every handle, in insertion order, and empties the set.
    void cancelAll();
    void dropSettled();
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

private:
    struct Entry {
        AnyCancellable handle;
        std::shared_ptr<const bool> settled;
    };
    std::vector<Entry> m_entries;
};
