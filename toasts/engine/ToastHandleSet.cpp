#include "toasts/engine/ToastHandleSet.h"

#include <algorithm>

void ToastHandleSet::insert(AnyCancellable handle, std::shared_ptr<const bool> settled)
{
    dropSettled();
    m_entries.push_back(Entry{std::move(handle), std::move(settled)});
}

void ToastHandleSet::cancelAll()
{
    std::vector<Entry> entries;
    entries.swap(m_entries);
    for (Entry& entry : entries)
        entry.handle.cancel();
}

void ToastHandleSet::dropSettled()
{
    // Released without cancelling: cancelling a settled toast does nothing anyway.
    std::erase_if(m_entries, [](Entry& entry) {
        if (!entry.settled || !*entry.settled)
            return false;
        entry.handle.release();
        return true;
    });
}
