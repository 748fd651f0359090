// The printouts as PDF files, painted offscreen: the sample's April 2005 on
// one landscape page, and the 500-entry list on portrait pages. Goals: the
// month under 200 ms, the list under 1 s.
#include "fulllist.h"
#include "gridrender.h"
#include "printout.h"
#include "session.h"
#include "startup.h"
#include "vcsio.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace skedra;
using namespace skedra::print;

namespace {

void BM_MonthPdf(benchmark::State &state)
{
    SessionState s;
    createHexCoder(s);
    s.OpenFileName = QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs");
    s.OpenMode = QStringLiteral("new");
    proc_open(s);
    const Printout month{QStringLiteral("2005年04月"), a4Layout(QPageLayout::Landscape), [&](QPagedPaintDevice &device) {
                             return printMonth(s.ScheduleList, QDate(2005, 4, 1), QDate(2005, 4, 11), device).pages;
                         }};
    int pages = 0;
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = renderPdf(month, &pages).size();
    state.counters["entries"] = s.ScheduleList.count();
    state.counters["pages"] = pages;
    state.counters["kB"] = double(bytes) / 1024;
}
BENCHMARK(BM_MonthPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ListPdf(benchmark::State &state)
{
    SessionState s;
    test::fillFullList(s.ScheduleList);
    ListGrid grid;
    grid.setFormatString(headerFormatFor(QStringLiteral("603SH")));
    fitGridToList(s.ScheduleList, grid, true);
    ListSheet sheet;
    sheet.firstRow = 1;
    sheet.lastRow = MaxEntries;
    for (int col = 0; col < GridColumns; ++col)
        sheet.columnWidths[size_t(col)] = defaultColumnWidthTwips(col);
    sheet.fileName = QStringLiteral("full.vcs");
    sheet.printedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 30));
    const Printout list{sheet.fileName, a4Layout(QPageLayout::Portrait),
                        [&](QPagedPaintDevice &device) { return printList(grid, sheet, device).pages; }};
    int pages = 0;
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = renderPdf(list, &pages).size();
    state.counters["rows"] = MaxEntries;
    state.counters["pages"] = pages;
    state.counters["kB"] = double(bytes) / 1024;
}
BENCHMARK(BM_ListPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
