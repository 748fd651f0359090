#include "schedule.h"

#include <utility>

namespace skedra {

void ScheduleEntry::clear()
{
    for (QString &s : texts)
        s.clear();
}

ScheduleList::ScheduleList()
    : m_entries(MaxEntries)
{
}

int ScheduleList::count() const
{
    for (int i = 0; i < MaxEntries; ++i) {
        if (!m_entries[static_cast<size_t>(i)].exists())
            return i;
    }
    return MaxEntries;
}

void ScheduleList::clear()
{
    for (ScheduleEntry &e : m_entries)
        e.clear();
}

void ScheduleList::removeAt(int index)
{
    if (index < 0 || index >= MaxEntries)
        return;
    for (int i = index; i + 1 < MaxEntries; ++i)
        m_entries[static_cast<size_t>(i)] = std::move(m_entries[static_cast<size_t>(i + 1)]);
    m_entries.back().clear();
}

void ScheduleList::swap(int a, int b)
{
    std::swap(m_entries[static_cast<size_t>(a)], m_entries[static_cast<size_t>(b)]);
}

} // namespace skedra
