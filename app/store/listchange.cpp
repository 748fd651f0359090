#include "listchange.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace skedra {

namespace {

using Places = std::vector<ScheduleList::Place>;

} // namespace

ListChange ListChange::between(const ScheduleList &before, const ScheduleList &after)
{
    std::unordered_map<EntryKey, int> wasAt;
    std::unordered_set<EntryKey> isThere;
    wasAt.reserve(MaxEntries);
    isThere.reserve(MaxEntries);
    for (int i = 0; i < MaxEntries; ++i) {
        wasAt.emplace(before.keyAt(i), i);
        isThere.insert(after.keyAt(i));
    }
    const auto textsOf = [](const ScheduleEntry &e) -> Texts {
        return e.isBlank() ? nullptr : std::make_shared<const ScheduleEntry>(e);
    };

    ListChange change;
    std::vector<EntryKey> orderBefore;
    std::vector<EntryKey> orderAfter;
    for (int i = 0; i < MaxEntries; ++i) {
        const EntryKey key = before.keyAt(i);
        if (isThere.count(key))
            orderBefore.push_back(key);
        else
            change.m_removed.push_back({i, key, textsOf(before[i])});
    }
    for (int i = 0; i < MaxEntries; ++i) {
        const EntryKey key = after.keyAt(i);
        const auto was = wasAt.find(key);
        if (was == wasAt.end()) {
            change.m_added.push_back({i, key, textsOf(after[i])});
            continue;
        }
        orderAfter.push_back(key);
        if (before[was->second] != after[i])
            change.m_rewritten.push_back({key, textsOf(before[was->second]), textsOf(after[i])});
    }

    // Both orders hold the same keys; only the stretch between the first
    // and the last position where they differ is kept.
    size_t first = 0;
    while (first < orderBefore.size() && orderBefore[first] == orderAfter[first])
        ++first;
    if (first < orderBefore.size()) {
        size_t end = orderBefore.size();
        while (end > first && orderBefore[end - 1] == orderAfter[end - 1])
            --end;
        change.m_orderFrom = static_cast<int>(first);
        change.m_orderBefore.assign(orderBefore.begin() + long(first), orderBefore.begin() + long(end));
        change.m_orderAfter.assign(orderAfter.begin() + long(first), orderAfter.begin() + long(end));
    }
    return change;
}

bool ListChange::isEmpty() const
{
    return m_removed.empty() && m_added.empty() && m_rewritten.empty() && m_orderBefore.empty();
}

int ListChange::keptEntries() const
{
    int n = 0;
    for (const auto *side : {&m_removed, &m_added}) {
        for (const Placed &p : *side)
            n += p.texts ? 1 : 0;
    }
    for (const Rewritten &r : m_rewritten)
        n += (r.before ? 1 : 0) + (r.after ? 1 : 0);
    return n;
}

std::vector<int> ListChange::undo(ScheduleList &list) const
{
    return apply(list, false);
}

std::vector<int> ListChange::redo(ScheduleList &list) const
{
    return apply(list, true);
}

std::vector<int> ListChange::apply(ScheduleList &list, bool forward) const
{
    // Undoing takes out what the command brought in and puts back what it
    // took out; redoing the other way round.
    const std::vector<Placed> &goes = forward ? m_removed : m_added;
    const std::vector<Placed> &comes = forward ? m_added : m_removed;
    const std::vector<EntryKey> &order = forward ? m_orderAfter : m_orderBefore;

    std::unordered_set<EntryKey> going;
    for (const Placed &p : goes)
        going.insert(p.key);
    std::unordered_map<EntryKey, const Texts *> rewrite;
    for (const Rewritten &r : m_rewritten)
        rewrite.emplace(r.key, forward ? &r.after : &r.before);
    std::unordered_set<EntryKey> touched;
    std::vector<int> indexes;

    // Entries that go are named by the first place one of them had: the
    // rows after it are the ones that were there, not the ones that went.
    Places places = list.takePlaces();
    Places staying;
    staying.reserve(places.size());
    for (size_t i = 0; i < places.size(); ++i) {
        if (!going.count(places[i].key))
            staying.push_back(std::move(places[i]));
        else if (!places[i].entry.isBlank() && indexes.empty())
            indexes.push_back(static_cast<int>(i));
    }

    // The stretch whose order the command changed, in the order wanted.
    const size_t from = static_cast<size_t>(m_orderFrom);
    if (!order.empty() && from + order.size() <= staying.size()) {
        std::unordered_map<EntryKey, size_t> now;
        for (size_t i = 0; i < order.size(); ++i)
            now.emplace(staying[from + i].key, i);
        const bool same = std::all_of(order.begin(), order.end(), [&](EntryKey k) { return now.count(k); });
        if (same) {
            Places stretch;
            stretch.reserve(order.size());
            for (size_t i = 0; i < order.size(); ++i) {
                const size_t at = now[order[i]];
                stretch.push_back(std::move(staying[from + at]));
                if (at != i)
                    touched.insert(order[i]);
            }
            std::move(stretch.begin(), stretch.end(), staying.begin() + long(from));
        }
    }

    for (ScheduleList::Place &p : staying) {
        const auto texts = rewrite.find(p.key);
        if (texts == rewrite.end())
            continue;
        p.entry = *texts->second ? **texts->second : ScheduleEntry();
        touched.insert(p.key);
    }

    // The places coming back go to the indexes they had.
    Places result;
    result.reserve(MaxEntries);
    size_t k = 0;
    auto next = comes.begin();
    while (result.size() < size_t(MaxEntries) && (k < staying.size() || next != comes.end())) {
        if (next != comes.end() && (next->index <= int(result.size()) || k == staying.size())) {
            result.push_back({next->key, next->texts ? *next->texts : ScheduleEntry()});
            if (next->texts)
                touched.insert(next->key);
            ++next;
        } else {
            result.push_back(std::move(staying[k++]));
        }
    }
    for (size_t i = 0; i < result.size(); ++i) {
        if (touched.count(result[i].key))
            indexes.push_back(static_cast<int>(i));
    }
    list.setPlaces(std::move(result));

    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

} // namespace skedra
