// The file commands of the main window and the opening of a file named on
// the command line: open new / open add, dropping a file on the list, close,
// save as, save the selected rows one file each, and the save question asked
// before unsaved changes could be lost. Widget-free: dialogs and window
// effects go through Dialogs and WindowHooks.
#pragma once

#include "dialogs.h"
#include "entrydefaults.h"
#include "listgrid.h"
#include "listhistory.h"
#include "session.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace skedra {

// The command line as kept at start: every double quote removed.
QString commandLineFromArguments(const QStringList &arguments);

// Upper-cased text after the last "." of `path`, or empty when a "\" or "/"
// follows that "." (or there is none).
QString GetExtension(const QString &path);
// The file type tests: the extension is "VCS", or "ICS", in any case.
bool isVcsPath(const QString &path);
bool isIcsPath(const QString &path);
// True when the file can be opened for reading (a trailing "\" or "/" is
// ignored); false for folders.
bool FileExists(const QString &path);
// "vCal_0001.vcs" for n = 1, placed in `folder`.
QString perEntryFileName(const QString &folder, int n);

// The main window's title: "sample.vcs[*] - " and `programTitle` for the
// file `path` ("[*]" is where the window shows its unsaved mark), or
// `programTitle` alone when there is no file.
QString titleWithFile(const QString &path, const QString &programTitle);

// Where a print or PDF command starts from.
struct PrintRequest {
    print::Subject subject = print::Subject::AllRows;  // what the choice offers first
    QDate month;                                       // the month offered
    QDate today;                                       // coloured as today in the month
    QDateTime now;                                     // the list's print date
    std::array<int, GridColumns> columnWidths{};       // the grid's, in twips
};

// The month a print from the list offers: that of the current row's entry,
// or of `today` when the row has no date.
QDate monthOfRow(const ScheduleList &list, const ListGrid &grid, QDate today);

class FileCommands {
public:
    // New entries of an iCalendar file get the handset settings of
    // `defaults` (the entry defaults, which the window keeps); every change
    // of the list is recorded in `history`.
    FileCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                 const EntryDefaults &defaults, ListHistory &history);

    // The save question before open new, close, quit and replacing the list
    // by a drop. Returns true when the calling command may go on.
    bool askSave();

    // mnuOpen index 0 (tbrOpen, tbrOpenN) and index 1 (tbrOpenA): a .vcs
    // file, or an .ics file through the iCalendar import.
    void openNew();
    void openAdd();
    // Reads `path` in the current OpenMode and gives the grid one row per
    // entry: an .ics path through the iCalendar import, any other as a .vcs
    // file. Returns true when the file was read.
    bool openChosenFile(const QString &path);

    // A drop of files on the list (.vcs or .ics).
    void dropFiles(const QStringList &paths);

    // A file of the recently used ones (mnuRecentFile): opened as open new
    // does, after the save question. False when the file is no longer
    // there (the user is told); the caller then drops it from the list.
    bool openRecent(const QString &path);

    // The .vcs file a save in place writes: the one opened to replace the
    // list, or saved last. Empty when the list came from an .ics file
    // (saving never writes vCalendar into it) or from no file: the first
    // save then asks for a .vcs name.
    const QString &saveTarget() const { return m_saveTarget; }

    // mnuClose.
    void closeList();

    // mnuStore, tbrSave. Returns true when the file was written (SaveDone).
    bool saveAs();
    // mnuOverwrite: the list into saveTarget() without a dialog, as save as
    // writes it; save as when there is no target. True when written.
    bool save();

    // mnuSave, pmnuSave: each entry of the selected band to its own file
    // "vCal_0001.vcs", "vCal_0002.vcs", ... numbered from the band's top.
    void saveSelected();

    // mnuExportIcs: the whole list, or the selected band when it holds more
    // than one row, as one iCalendar file (".ics" is added to a name without
    // it); a message says how many entries went out, and when only the
    // selected rows did.
    void exportIcs();
    // mnuImportIcs: the events and to-dos of an iCalendar file appended to
    // the list, as open add of an .ics file.
    void importIcs();

    // mnuPrint (Ctrl+P) and the calendar's print button: asks what to print
    // and shows the print preview of it.
    void print(const PrintRequest &request);
    // mnuExportPdf: asks what to print and the file name (".pdf" is added
    // to a name without it), and writes the PDF file.
    void exportPdf(const PrintRequest &request);

    // The window is about to close: false keeps the program running.
    bool queryClose();

    // Opens the file named on the command line at start, if any.
    void openCommandLine(const QString &commandLine);

private:
    // The user's choice of what to print, or nothing when cancelled or
    // when the chosen list has no entry (the user is told).
    std::optional<print::Printout> choosePrintout(const QString &title, const PrintRequest &request);
    // Starts the file and folder dialogs in the folder of the open file
    // (else of the file saved last).
    void followOpenFile();
    // The file an export writes, asked in the save dialog: `suffix` added
    // to a name without it, an existing file taken only when the user
    // agrees to replace it. Empty when the user cancelled or refused.
    QString chooseExportPath(const QString &title, const QString &filter, const QString &suffix);
    // The question before a file is replaced: true when `path` does not
    // exist or the user agrees.
    bool mayOverwrite(const QString &path);
    // Reports a failed write; true when the write succeeded. Warnings that
    // come with a success are shown once per command.
    bool reportWrite(const WriteResult &result, bool *warned);
    // Writes the whole list to SaveFileName; on success the list counts as
    // saved there.
    bool writeList();
    // Reads `path` in the current OpenMode, as an .ics file or a .vcs file:
    // appended entries are recorded as the step `appendStep`, a replaced
    // list starts the history anew.
    bool readFile(const QString &path, bool ics, const QString &appendStep);
    // The loading notice and the busy cursor around a read; the end also
    // redraws the list and its count and shows the read's messages.
    void beginLoading();
    void endLoading(const QList<StoreMessage> &messages);
    bool openVcs(const QString &path);
    bool openIcs(const QString &path);
    // The list's rows after a read: the sort marks go, the grid gets one row
    // per entry, and a replaced list shows from its top.
    void showReadList(bool replaced);

    SessionState &m_state;
    ListGrid &m_grid;
    Dialogs &m_dialogs;
    WindowHooks &m_hooks;
    const EntryDefaults &m_defaults;
    ListHistory &m_history;
    QString m_saveTarget;
};

} // namespace skedra
