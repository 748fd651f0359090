// What one command did to the schedule table, kept so that it can be undone
// and done again.
//
// The table is compared place by place, each place named by its key (which
// follows its entry wherever sorting, moving and deleting take it). A
// change keeps only what differs: the places the command took out (with
// their texts and where they stood), the places it brought in, the texts of
// the places it rewrote, before and after, and the stretch of the other
// places whose order it changed, as keys. Entries the command did not touch
// are not copied, so a step costs what it changed.
#pragma once

#include "schedule.h"

#include <memory>
#include <vector>

namespace skedra {

class ListChange {
public:
    // The change that turns `before` into `after`: the same table before
    // and after a command.
    static ListChange between(const ScheduleList &before, const ScheduleList &after);

    bool isEmpty() const;

    // Turns the table as the command left it back into the table before
    // it (undo), or the table before it into the table it left (redo):
    // texts, order and keys. The result is the indexes, as they now are,
    // of the places the change touched, ascending; entries it took away
    // are named by the index the first of them had.
    std::vector<int> undo(ScheduleList &list) const;
    std::vector<int> redo(ScheduleList &list) const;

    // How many entries' texts the change keeps (a blank place costs none).
    int keptEntries() const;

private:
    // The texts of a place; null for a blank one.
    using Texts = std::shared_ptr<const ScheduleEntry>;
    struct Placed {
        int index;
        EntryKey key;
        Texts texts;
    };
    struct Rewritten {
        EntryKey key;
        Texts before;
        Texts after;
    };

    std::vector<int> apply(ScheduleList &list, bool forward) const;

    std::vector<Placed> m_removed;  // places of the table before that it lost, by index before
    std::vector<Placed> m_added;    // places of the table after that it gained, by index after
    std::vector<Rewritten> m_rewritten;
    // The places both tables hold, in their order: from position
    // m_orderFrom of that order on, the keys before and after that differ.
    int m_orderFrom = 0;
    std::vector<EntryKey> m_orderBefore;
    std::vector<EntryKey> m_orderAfter;
};

} // namespace skedra
