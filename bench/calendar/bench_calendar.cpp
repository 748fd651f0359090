// The month grid's model for a full list of 500 entries, a third of them
// repeating (daily, weekly, monthly, yearly; some without an end, some with
// a count and no end): one month build, and one month step with the day
// list of the selected day. Goal: well under 5 ms a build.
#include "benchlist.h"
#include "monthmodel.h"
#include "occurrence.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace skedra;
using namespace skedra::calendar;
using skedra::calendar::bench::fullList;

namespace {

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
