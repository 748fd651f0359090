// The calendar window over the 500-entry list, offscreen: one month step as
// the user sees it, the month built, the grids repainted and the selected
// day listed. Goal: under 30 ms a step.
#include "benchlist.h"
#include "frmcalendar.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace skedra;
using namespace skedra::calendar;

namespace {

void BM_StepOnScreen(benchmark::State &state)
{
    SessionState session;
    session.ScheduleList = bench::fullList();
    CalendarHost host;
    host.columnWidthsTwips = {300, 800, 2050, 2050, 2000, 2250, 1000, 1000, 1400, 800, 900};
    frmCalendar window(session, host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.today = [] { return QDate(2024, 1, 31); };
    window.Form_Load();
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.step(window.shownMonth().year() > 2025 ? MonthStep::YearBack : MonthStep::MonthForward);
        window.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StepOnScreen)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
