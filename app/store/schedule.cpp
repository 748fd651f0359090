#include "schedule.h"

#include <algorithm>
#include <utility>

namespace skedra {

void ScheduleEntry::clear()
{
    for (QString &s : texts)
        s.clear();
}

bool ScheduleEntry::isBlank() const
{
    return std::all_of(texts.begin(), texts.end(), [](const QString &s) { return s.isEmpty(); });
}

ScheduleList::ScheduleList()
    : m_entries(MaxEntries)
    , m_keys(MaxEntries)
{
    for (EntryKey &key : m_keys)
        key = freshKey();
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
    for (EntryKey &key : m_keys)
        key = freshKey();
}

void ScheduleList::removeAt(int index)
{
    if (index < 0 || index >= MaxEntries)
        return;
    for (size_t i = static_cast<size_t>(index); i + 1 < m_entries.size(); ++i) {
        m_entries[i] = std::move(m_entries[i + 1]);
        m_keys[i] = m_keys[i + 1];
    }
    m_entries.back().clear();
    m_keys.back() = freshKey();
}

void ScheduleList::swap(int a, int b)
{
    std::swap(m_entries[static_cast<size_t>(a)], m_entries[static_cast<size_t>(b)]);
    std::swap(m_keys[static_cast<size_t>(a)], m_keys[static_cast<size_t>(b)]);
}

void ScheduleList::reorder(const std::vector<int> &order)
{
    std::vector<ScheduleEntry> entries;
    std::vector<EntryKey> keys;
    entries.reserve(order.size());
    keys.reserve(order.size());
    for (int from : order) {
        entries.push_back(std::move(m_entries[static_cast<size_t>(from)]));
        keys.push_back(m_keys[static_cast<size_t>(from)]);
    }
    std::move(entries.begin(), entries.end(), m_entries.begin());
    std::copy(keys.begin(), keys.end(), m_keys.begin());
}

void ScheduleList::removeIf(const std::function<bool(const ScheduleEntry &)> &remove)
{
    size_t kept = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (remove(m_entries[i]))
            continue;
        if (kept != i) {
            m_entries[kept] = std::move(m_entries[i]);
            m_keys[kept] = m_keys[i];
        }
        ++kept;
    }
    for (size_t i = kept; i < m_entries.size(); ++i) {
        m_entries[i].clear();
        m_keys[i] = freshKey();
    }
}

int ScheduleList::indexOf(EntryKey key) const
{
    const auto at = std::find(m_keys.begin(), m_keys.end(), key);
    if (at == m_keys.end())
        return -1;
    const int index = static_cast<int>(at - m_keys.begin());
    return exists(index) ? index : -1;
}

std::vector<ScheduleList::Place> ScheduleList::takePlaces()
{
    std::vector<Place> places;
    places.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        places.push_back({m_keys[i], std::move(m_entries[i])});
        m_entries[i].clear();
        m_keys[i] = freshKey();
    }
    return places;
}

void ScheduleList::setPlaces(std::vector<Place> places)
{
    Q_ASSERT(places.size() <= m_entries.size());
    const size_t n = std::min(places.size(), m_entries.size());
    for (size_t i = 0; i < n; ++i) {
        m_entries[i] = std::move(places[i].entry);
        m_keys[i] = places[i].key;
    }
    for (size_t i = n; i < m_entries.size(); ++i) {
        m_entries[i].clear();
        m_keys[i] = freshKey();
    }
}

} // namespace skedra
