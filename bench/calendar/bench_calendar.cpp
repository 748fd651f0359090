// The month grid's model for a full list of 500 entries, a third of them
// repeating (daily, weekly, monthly, yearly; some without an end, some with
// a count and no end): one month build, and one month step with the day
// list of the selected day. Goal: well under 5 ms a build.
#include "monthmodel.h"
#include "occurrence.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace skedra;
using namespace skedra::calendar;

namespace {

QString dayIn2024(int k, const QString &time)
{
    return dateText(QDate(2024, 1, 1).addDays(k % 366)) + time;
}

const ScheduleList &fullList()
{
    static const ScheduleList list = [] {
        ScheduleList l;
        for (int i = 0; i < MaxEntries; ++i) {
            ScheduleEntry &e = l[i];
            const int k = (i * 7919) % MaxEntries;
            const QString start = dayIn2024(k, QStringLiteral("093000"));
            e[DtStartName] = QStringLiteral("DTSTART");
            e[DtStartValue] = start;
            e[DtEndName] = QStringLiteral("DTEND");
            e[SummaryName] = QStringLiteral("SUMMARY");
            e[SummaryValue] = QStringLiteral("予定%1番 打合せ").arg(k);
            e[CategoriesName] = QStringLiteral("CATEGORIES");
            e[CategoriesValue] = k % 40 ? QStringLiteral("BUSINESS") : QStringLiteral("HOLIDAY");
            e[RRuleName] = QStringLiteral("RRULE");
            e[YearlyName] = QStringLiteral("X-JPGSH-YEARLY");
            e[ComponentName] = QStringLiteral("VEVENT");
            const int count = (k / 3) % 3 == 0 ? 0 : k % 20 + 1; // a third without an end
            const bool endless = count > 0 && k % 2;              // counted, but no end written
            switch (i % 3 ? -1 : (i / 3) % 4) {
            case 0: e[RRuleValue] = QStringLiteral("D1 #%1").arg(count); break;
            case 1: e[RRuleValue] = QStringLiteral("W1 MO #%1").arg(count); break;
            case 2: e[RRuleValue] = QStringLiteral("MP1 %1 #%2").arg(start.mid(6, 2)).arg(count); break;
            case 3: e[YearlyValue] = start.mid(4, 4); break;
            default: e[DtEndValue] = dayIn2024(k + k % 3, QStringLiteral("100000")); break;
            }
            if (!e[RRuleValue].isEmpty() && count > 0 && !endless)
                e[DtEndValue] = dayIn2024(k + count, QStringLiteral("100000"));
        }
        return l;
    }();
    return list;
}

// sDisp alone, over the months of two years in turn.
void BM_BuildMonth(benchmark::State &state)
{
    const ScheduleList &list = fullList();
    const QDate today(2024, 6, 12);
    int m = 0;
    for (auto _ : state) {
        const MonthModel month = buildMonth(list, QDate(2024, 1, 1).addMonths(m++ % 24), today, {}, {});
        benchmark::DoNotOptimize(month.DayEntries[1].size());
    }
    state.counters["entries"] = list.count();
}
BENCHMARK(BM_BuildMonth)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// One month forward: the step, the month build and the selected day's list.
void BM_StepMonth(benchmark::State &state)
{
    const ScheduleList &list = fullList();
    const QDate today(2024, 6, 12);
    QDate shown(2024, 1, 31);
    QString reference = dateText(shown);
    GridCell selected;
    for (auto _ : state) {
        shown = stepMonth(shown, MonthStep::MonthForward);
        if (shown.year() > 2025)
            shown = QDate(2024, 1, 31);
        const MonthModel month = buildMonth(list, shown, today, reference, selected);
        selected = month.SelectedCell;
        if (const auto chosen = selectCell(month, selected))
            benchmark::DoNotOptimize(chosen->listed.size());
    }
}
BENCHMARK(BM_StepMonth)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
