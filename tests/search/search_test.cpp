// Which rows a search finds: partial and whole match on the texts the list
// shows, case ignored on both sides, dates through the list's mask.
#include "gridrender.h"
#include "search.h"

#include <gtest/gtest.h>

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
