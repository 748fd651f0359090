// Which rows a search finds: partial and whole match on the texts the list
// shows, case ignored on both sides, dates through the list's mask.
#include "gridrender.h"
#include "search.h"

#include <gtest/gtest.h>

#include <functional>

using namespace skedra;

namespace {

ScheduleEntry event(const QString &summary, const QString &start, const QString &end, const QString &description)
{
    ScheduleEntry e;
    e[ComponentName] = QStringLiteral("VEVENT");
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = start;
    e[DtEndName] = QStringLiteral("DTEND");
    e[DtEndValue] = end;
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = summary;
    e[DescriptionName] = QStringLiteral("DESCRIPTION");
    e[DescriptionValue] = description;
    return e;
}

struct FindCase {
    int column;
    QString text;
    FindMatch match;
    std::vector<int> rows;
};

} // namespace

TEST(Search, FindsRowsByTheShownText)
{
    ScheduleList list;
    list[0] = event(QStringLiteral("xABCy"), QStringLiteral("20030601100000"), QStringLiteral("20030701100000"),
                    QStringLiteral("会議"));
    list[1] = event(QStringLiteral("ABC"), QStringLiteral("20030630235959"), QStringLiteral("20030601000000"),
                    QStringLiteral("abc"));
    list[2] = event(QStringLiteral("abc"), QStringLiteral("20030701000000"), QString(), QStringLiteral("x"));
    list[3] = event(QStringLiteral("ab c"), QStringLiteral("20020615120000"), QStringLiteral("20020615130000"),
                    QStringLiteral("ABC DEF"));
    ListGrid grid;
    fitGridToList(list, grid, true);

    const FindCase cases[] = {
        {2, QStringLiteral("abc"), FindMatch::Partial, {1, 2, 3}},
        {2, QStringLiteral("abc"), FindMatch::Whole, {2, 3}},
        {2, QStringLiteral("ABC"), FindMatch::Whole, {2, 3}},
        {3, QStringLiteral("2003/06"), FindMatch::Partial, {1, 2}},
        {4, QStringLiteral("2003/06"), FindMatch::Partial, {2}},
        {3, QStringLiteral("2003/06/30 23:59:59"), FindMatch::Whole, {2}},
        {3, QStringLiteral("20030630"), FindMatch::Partial, {}},
        {4, QStringLiteral("/  /"), FindMatch::Partial, {3}},
        {5, QStringLiteral("abc"), FindMatch::Partial, {2, 4}},
        {5, QStringLiteral("会議"), FindMatch::Whole, {1}},
        {2, QString(), FindMatch::Partial, {}},
        {2, QStringLiteral("zzz"), FindMatch::Partial, {}},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(findRows(grid, c.column, c.text, c.match), c.rows)
            << "column " << c.column << " text " << c.text.toStdString();
}

// A hit stands for its entry: after the list changes, showing the hit
// selects the row that now shows that entry, and a deleted entry's hit
// selects nothing.
TEST(Search, AHitFollowsItsEntry)
{
    struct Road {
        const char *what;
        std::function<void(ScheduleList &)> change;
        QString shown; // the summary of the row the hit selects; empty: none
    };
    const Road roads[] = {
        {"unchanged", [](ScheduleList &) {}, QStringLiteral("c")},
        {"sorted backwards", [](ScheduleList &l) { l.reorder({4, 3, 2, 1, 0}); }, QStringLiteral("c")},
        {"moved up", [](ScheduleList &l) { l.swap(2, 1); }, QStringLiteral("c")},
        {"an entry added", [](ScheduleList &l) { l[5] = event(QStringLiteral("f"), {}, {}, {}); }, QStringLiteral("c")},
        {"an earlier entry deleted", [](ScheduleList &l) { l.removeAt(0); }, QStringLiteral("c")},
        {"completed entries deleted",
         [](ScheduleList &l) { l.removeIf([](const ScheduleEntry &e) { return e[SummaryValue] < u"c"; }); },
         QStringLiteral("c")},
        {"edited", [](ScheduleList &l) { l.at(2, SummaryValue) = QStringLiteral("c2"); }, QStringLiteral("c2")},
        {"its entry deleted", [](ScheduleList &l) { l.removeAt(2); }, QString()},
        {"its entry deleted, another in its row",
         [](ScheduleList &l) {
             l.removeAt(2);
             l[4] = event(QStringLiteral("g"), {}, {}, {});
             l.reorder({0, 1, 3, 2});
         },
         QString()},
        {"another file opened",
         [](ScheduleList &l) {
             l.clear();
             for (int i = 0; i < 5; ++i)
                 l[i] = event(QStringLiteral("c"), {}, {}, {});
         },
         QString()},
    };
    for (const Road &road : roads) {
        ScheduleList list;
        for (int i = 0; i < 5; ++i)
            list[i] = event(QString(QChar(u'a' + i)), {}, {}, {});
        ListGrid grid;
        fitGridToList(list, grid, true);
        const std::vector<EntryKey> hits = foundEntries(list, findRows(grid, 2, QStringLiteral("c"), FindMatch::Whole));
        ASSERT_EQ(hits.size(), 1u);

        road.change(list);
        fitGridToList(list, grid, true);
        grid.setRow(1);
        const bool shown = showFoundEntry(list, grid, hits[0]);
        EXPECT_EQ(shown, !road.shown.isEmpty()) << road.what;
        if (shown) {
            EXPECT_EQ(grid.text(grid.row(), 2), road.shown) << road.what;
            EXPECT_EQ(grid.topRow(), grid.row()) << road.what;
        } else {
            EXPECT_EQ(grid.row(), 1) << road.what << ": nothing selected";
        }
    }
}
