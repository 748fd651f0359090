// Opening a 500-entry file into the list, sorting it by each column,
// rewriting the grid, opening the entry editor and walking the list with its
// Next button, undoing and redoing the delete of all 500 rows: the window's
// everyday costs. Runs on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise. Goals: the editor opens in under 15 ms, a Next step of the
// editor's model takes under 2 ms, an undo or a redo of deleting all 500
// rows under 10 ms (medians).
#include "editormodel.h"
#include "filecommands.h"
#include "frmeditr.h"
#include "frmmain.h"
#include "fulllist.h"
#include "gridrender.h"
#include "gridview.h"
#include "newentry.h"
#include "soundcatalogue.h"
#include "startup.h"
#include "vcsio.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace skedra;

namespace {

class SilentDialogs : public Dialogs {
public:
    // The answer to every question.
    Answer answer = Answer::No;
    Answer message(const QString &, const QString &, MessageIcon, MessageButtons buttons) override
    {
        return buttons == MessageButtons::Ok ? Answer::Ok : answer;
    }
    QString openFile(const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &) override { return {}; }
    QString selectFolder(const QString &) override { return {}; }
    std::optional<FontChoice> font(const FontChoice &) override { return std::nullopt; }
    std::optional<print::PrintChoice> printChoice(const QString &, const print::PrintChoice &, const QString &,
                                                 bool) override
    {
        return std::nullopt;
    }
};

// A full file of 500 varied entries, made once.
const QString &fullFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        SessionState s;
        createHexCoder(s);
        test::fillFullList(s.ScheduleList);
        s.SaveFileName = dir.filePath(QStringLiteral("full.vcs"));
        s.FirstIndex = 1;
        s.LastIndex = MaxEntries;
        proc_write(s);
        return s.SaveFileName;
    }();
    return path;
}

// File, Open, New of the full file in the real window, drawn offscreen.
void BM_OpenIntoWindow(benchmark::State &state)
{
    SilentDialogs dialogs;
    frmMain w(nullptr, &dialogs);
    w.resize(1000, 600);
    w.show();
    const QString path = fullFile();
    for (auto _ : state) {
        w.state().OpenMode = QStringLiteral("new");
        w.fileCommands().openChosenFile(path);
        w.gridView()->viewport()->repaint();
        benchmark::DoNotOptimize(w.grid().rows());
    }
    state.counters["entries"] = w.state().ScheduleList.count();
}
BENCHMARK(BM_OpenIntoWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The list without a window: state, grid and file commands.
struct Headless {
    SilentDialogs dialogs;
    WindowHooks hooks;
    SessionState s;
    ListGrid grid;
    EntryDefaults defaults;
    ListHistory history{s, grid, hooks};
    FileCommands files{s, grid, dialogs, hooks, defaults, history};
    Headless() { createHexCoder(s); }
    void open()
    {
        s.OpenMode = QStringLiteral("new");
        files.openChosenFile(fullFile());
    }
};

// Reading and rendering only.
void BM_OpenIntoGrid(benchmark::State &state)
{
    Headless h;
    for (auto _ : state) {
        h.open();
        benchmark::DoNotOptimize(h.grid.rows());
    }
}
BENCHMARK(BM_OpenIntoGrid)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A header click on column N: sort (alternating directions) and re-render.
void BM_SortByColumn(benchmark::State &state)
{
    Headless h;
    h.open();
    const int col = static_cast<int>(state.range(0));
    for (auto _ : state)
        sortByColumn(h.s.ScheduleList, h.grid, col);
}
BENCHMARK(BM_SortByColumn)->DenseRange(1, 10)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_GridRefresh(benchmark::State &state)
{
    Headless h;
    h.open();
    for (auto _ : state)
        Grid_refresh(h.s.ScheduleList, h.grid);
}
BENCHMARK(BM_GridRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The editor's hand-off for grid row `row`, as a double-click prepares it.
void prepareEdit(Headless &h, int row)
{
    h.s.EditIndex = row;
    h.s.EditMode = QStringLiteral("edit");
    h.s.WorkEntry = h.s.ScheduleList[row - 1];
    addMissingHandsetProperties(h.s.WorkEntry, h.s.ModelCode);
}

// frmEditR created on an entry, loaded and shown, then closed; a different
// entry each time.
void BM_OpenEditor(benchmark::State &state)
{
    Headless h;
    h.s.ModelCode = QStringLiteral("603SH");
    h.open();
    SoundCatalogue catalogue;
    catalogue.LoadSoundCatalogue(h.s.ModelCode);
    int row = 0;
    for (auto _ : state) {
        prepareEdit(h, row % MaxEntries + 1);
        ++row;
        frmEditR editor(h.s, h.grid, h.dialogs, h.hooks, catalogue, [] { return QDate(2024, 6, 1); });
        editor.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(editor.model().form.summary);
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One Next step of the editor's model: store, redraw the list rows, move,
// load the next entry. Walks the 500 entries and starts over.
void BM_EditorNext(benchmark::State &state)
{
    Headless h;
    h.s.ModelCode = QStringLiteral("603SH");
    h.open();
    SoundCatalogue catalogue;
    catalogue.LoadSoundCatalogue(h.s.ModelCode);
    EditorModel model(h.s, h.grid, h.dialogs, h.hooks, catalogue, [] { return QDate(2024, 6, 1); });
    prepareEdit(h, 1);
    model.Form_Load();
    for (auto _ : state) {
        if (h.s.EditIndex == MaxEntries) {
            state.PauseTiming();
            prepareEdit(h, 1);
            model.Form_Load();
            state.ResumeTiming();
        }
        model.Command6_Click();
    }
}
BENCHMARK(BM_EditorNext)->Unit(benchmark::kMicrosecond)->Iterations(MaxEntries - 1)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// All 500 rows selected and deleted, then undone (or redone) over and over;
// only the undo (or the redo) is timed. Widget-free: the list, its keys, the
// sort marks, the grid's rows and texts and its selection.
void undoRedoDeleteAll(benchmark::State &state, bool redo)
{
    Headless h;
    h.open();
    h.dialogs.answer = Answer::Yes;
    ListCommands list{h.s, h.grid, h.dialogs, h.hooks, h.history};
    state.counters["rows"] = h.s.ScheduleList.count();
    list.selectAll();
    list.deleteRows();
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            h.history.undo();
            state.ResumeTiming();
            h.history.redo();
        } else {
            h.history.undo();
            state.PauseTiming();
            h.history.redo();
            state.ResumeTiming();
        }
    }
}
void BM_UndoDeleteAll(benchmark::State &state) { undoRedoDeleteAll(state, false); }
void BM_RedoDeleteAll(benchmark::State &state) { undoRedoDeleteAll(state, true); }
BENCHMARK(BM_UndoDeleteAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedoDeleteAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same through the real window: Ctrl+Z's and Ctrl+Y's items, the list
// view redrawn offscreen.
void undoRedoDeleteAllInWindow(benchmark::State &state, bool redo)
{
    SilentDialogs dialogs;
    frmMain w(nullptr, &dialogs);
    w.resize(1000, 600);
    w.show();
    w.state().OpenMode = QStringLiteral("new");
    w.fileCommands().openChosenFile(fullFile());
    dialogs.answer = Answer::Yes;
    w.listCommands().selectAll();
    w.listCommands().deleteRows();
    QAction *undo = w.findChild<QAction *>(QStringLiteral("mnuUndo"));
    QAction *again = w.findChild<QAction *>(QStringLiteral("mnuRedo"));
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            undo->trigger();
            state.ResumeTiming();
            again->trigger();
        } else {
            undo->trigger();
        }
        w.gridView()->viewport()->repaint();
        if (!redo) {
            state.PauseTiming();
            again->trigger();
            state.ResumeTiming();
        }
    }
    dialogs.answer = Answer::No;
    w.state().Dirty = QStringLiteral("0");
}
void BM_UndoDeleteAllInWindow(benchmark::State &state) { undoRedoDeleteAllInWindow(state, false); }
void BM_RedoDeleteAllInWindow(benchmark::State &state) { undoRedoDeleteAllInWindow(state, true); }
BENCHMARK(BM_UndoDeleteAllInWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedoDeleteAllInWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows read and write settings (the recent files): never the user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
