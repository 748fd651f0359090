// A change of the table, undone and done again: every text and every key of
// all 500 places comes back, a key names the same entry throughout (or no
// entry at all), and the change keeps only the entries it touched.
#include "listchange.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace skedra;

namespace {

ScheduleEntry entry(const QString &summary)
{
    ScheduleEntry e;
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = QStringLiteral("20050310100000");
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = summary;
    e[JpgSerialValue] = summary;  // stays what the entry was made as
    e[StatusName] = QStringLiteral("STATUS");
    e[StatusValue] = summary.endsWith(QLatin1Char('!')) ? QStringLiteral("COMPLETED")
                                                         : QStringLiteral("NEEDS ACTION");
    return e;
}

// Entries with the given summaries; one ending in "!" is completed.
ScheduleList table(const QStringList &summaries)
{
    ScheduleList list;
    for (int i = 0; i < summaries.size(); ++i)
        list[i] = entry(summaries[i]);
    return list;
}

std::vector<EntryKey> keys(const ScheduleList &list)
{
    std::vector<EntryKey> k;
    for (int i = 0; i < MaxEntries; ++i)
        k.push_back(list.keyAt(i));
    return k;
}

} // namespace

TEST(ListChange, UndoAndRedoGiveBackTextsAndKeysAndKeepOnlyWhatChanged)
{
    const QStringList five = {"a", "b", "c!", "d", "e!"};
    const struct {
        const char *name;
        QStringList start;
        std::function<void(ScheduleList &)> command;
        int kept;  // entries' texts the change keeps
    } cases[] = {
        {"delete one of five", five, [](ScheduleList &l) { l.removeAt(1); }, 1},
        {"delete the last", five, [](ScheduleList &l) { l.removeAt(4); }, 1},
        {"delete all", five,
         [](ScheduleList &l) {
             for (int i = 0; i < 5; ++i)
                 l.removeAt(0);
         },
         5},
        {"delete completed", five,
         [](ScheduleList &l) { l.removeIf([](const ScheduleEntry &e) { return e[StatusValue] == "COMPLETED"; }); },
         2},
        {"move two up", five,
         [](ScheduleList &l) {
             l.swap(2, 1);
             l.swap(3, 2);
         },
         0},
        {"sort backwards", five, [](ScheduleList &l) { l.reorder({4, 3, 2, 1, 0}); }, 0},
        {"add after the last", five, [](ScheduleList &l) { l[5] = entry("f"); }, 1},
        {"add to an empty list", {}, [](ScheduleList &l) { l[0] = entry("a"); }, 1},
        {"edit one", five, [](ScheduleList &l) { l.at(3, SummaryValue) = QStringLiteral("D"); }, 2},
        {"edit two", five,
         [](ScheduleList &l) {
             l.at(0, PriorityValue) = QStringLiteral("1");
             l.at(4, PriorityValue) = QStringLiteral("1");
         },
         4},
        {"append a file", five,
         [](ScheduleList &l) {
             for (int i = 5; i < 8; ++i)
                 l[i] = entry(QString::number(i));
         },
         3},
        // Texts a broken file left after the last entry stay where they were.
        {"delete before leftovers", five,
         [](ScheduleList &l) { l.removeAt(0); },
         1},
        {"sort and delete", five,
         [](ScheduleList &l) {
             l.reorder({1, 0, 2, 3, 4});
             l.removeAt(3);
         },
         1},
        {"nothing", five, [](ScheduleList &) {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ScheduleList list = table(c.start);
        if (QLatin1String(c.name) == QLatin1String("delete before leftovers"))
            list.at(5, SummaryValue) = QStringLiteral("leftover");
        const ScheduleList before = list;
        const std::vector<EntryKey> keysBefore = keys(list);
        c.command(list);
        const ScheduleList after = list;
        const std::vector<EntryKey> keysAfter = keys(list);

        const ListChange change = ListChange::between(before, after);
        EXPECT_EQ(change.isEmpty(), QLatin1String(c.name) == QLatin1String("nothing"));
        EXPECT_EQ(change.keptEntries(), c.kept);

        for (int round = 0; round < 2; ++round) {
            change.undo(list);
            EXPECT_TRUE(list == before);
            EXPECT_EQ(keys(list), keysBefore);
            change.redo(list);
            EXPECT_TRUE(list == after);
            EXPECT_EQ(keys(list), keysAfter);
        }

        // A key names its entry wherever it is, and no other: a deleted
        // entry's key finds nothing until the delete is undone, then it
        // finds that entry again.
        for (int i = 0; i < c.start.size(); ++i) {
            const EntryKey key = keysBefore[size_t(i)];
            const int now = after.indexOf(key);
            if (now >= 0)
                EXPECT_EQ(after[now][JpgSerialValue], before[i][JpgSerialValue]);
            change.undo(list);
            EXPECT_EQ(list.indexOf(key), i);
            change.redo(list);
            EXPECT_EQ(list.indexOf(key), now);
        }
        // A new entry's key finds nothing once it is undone.
        for (int i = 0; i < MaxEntries; ++i) {
            if (!after.exists(i) || before.indexOf(after.keyAt(i)) >= 0)
                continue;
            change.undo(list);
            EXPECT_EQ(list.indexOf(after.keyAt(i)), -1);
            change.redo(list);
            EXPECT_EQ(list.indexOf(after.keyAt(i)), i);
        }
    }
}

// What an undo or redo reports as touched: the places whose entries came
// back, went or changed, as the table now has them.
TEST(ListChange, TouchedPlacesAreWhereTheChangeShows)
{
    const struct {
        const char *name;
        std::function<void(ScheduleList &)> command;
        std::vector<int> undone;  // touched by the undo
        std::vector<int> redone;  // touched by the redo
    } cases[] = {
        {"delete 2 and 3", [](ScheduleList &l) { l.removeAt(1); l.removeAt(1); }, {1, 2}, {1}},
        {"delete 2 and 4", [](ScheduleList &l) { l.removeAt(3); l.removeAt(1); }, {1, 3}, {1}},
        {"edit 4", [](ScheduleList &l) { l.at(3, SummaryValue) = QStringLiteral("D"); }, {3}, {3}},
        {"add 6", [](ScheduleList &l) { l[5] = entry("f"); }, {5}, {5}},
        {"move 3 up", [](ScheduleList &l) { l.swap(2, 1); }, {1, 2}, {1, 2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ScheduleList list = table({"a", "b", "c", "d", "e"});
        const ScheduleList before = list;
        c.command(list);
        const ListChange change = ListChange::between(before, list);
        EXPECT_EQ(change.undo(list), c.undone);
        EXPECT_EQ(change.redo(list), c.redone);
    }
}
