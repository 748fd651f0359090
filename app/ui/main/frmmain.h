// The main window: the list grid with its menus, toolbar, pop-up menus and
// status bar. The rules live in widget-free classes (ListGrid, ListCommands,
// FileCommands, the settings, model, attribute and defaults rules); this
// window shows their state and wires the user's actions to them.
//
// Actions are made in createActions() with objectName set to the item's own
// name ("mnuDEl", "tbrSave", "pmnuUp"); items of a control array carry the
// index after an underscore ("mnuOpen_0", "pmnuCatego2_29"). Settings are
// read once while the window loads and the window settings saved when it
// closes; the model-dependent items are configured each time the Edit menu
// or the row pop-up opens.
#pragma once

#include "attributes.h"
#include "dialogs.h"
#include "filecommands.h"
#include "listcommands.h"
#include "listgrid.h"
#include "listhistory.h"
#include "models.h"
#include "session.h"
#include "settings.h"
#include "soundcatalogue.h"

#include <QMainWindow>
#include <QDate>
#include <QPointer>

#include <QHash>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QDialog;
class QPrintPreviewDialog;
class QLabel;
class QMenu;
class QToolBar;
class QUrl;

namespace skedra {

class AddCommands;
class GridView;
class frmRun;

// "Skedra Ver.<major>.<minor><revision>"
QString windowTitleText();

class frmMain : public QMainWindow, private WindowHooks {
    Q_OBJECT
public:
    // `dialogs` replaces the real dialogs (tests); the window does not own it.
    explicit frmMain(QWidget *parent = nullptr, Dialogs *dialogs = nullptr);
    ~frmMain() override;

    SessionState &state() { return m_state; }
    ListGrid &grid() { return m_grid; }
    ListCommands &listCommands() { return *m_list; }
    FileCommands &fileCommands() { return *m_files; }
    ListHistory &history() { return *m_history; }
    // The recently used files as the File menu lists them, the latest first.
    const QStringList &recentFiles() const { return m_recentFiles; }
    GridView *gridView() const { return m_view; }
    // The current model's melody and lamp names; the editor reads them.
    const SoundCatalogue &soundCatalogue() const { return m_catalogue; }
    // The defaults of new entries, read at start (section "Init").
    EntryDefaults &entryDefaults() { return m_list->defaults; }
    // The last folders used for attachments, read at start.
    QString attachmentFolder(AttachmentFolder folder) const
    {
        return m_state.AttachmentFolders[static_cast<size_t>(folder)];
    }

    // The grid column whose header was right-clicked last; the find dialog
    // searches it.
    int FindColumn = 0;
    // Opens the find dialog (p2mnuFind); installed by the find dialog's
    // owner. Until then the item is shown disabled.
    std::function<void()> findHook;

    // Opens the file named on the command line; the last step of start-up.
    void openCommandLine(const QString &commandLine);

    // Rewrites the grid from the table; other windows call it after they
    // changed the list.
    void Grid_refresh();
    void UpdateCountPanel();

    // The grid font command (tbrFont).
    void Font_Change();

    // The calendar command (tbrCal): hides this window and shows the month
    // calendar over the same list; closing it brings the list back.
    void disp_calendar();
    // The open calendar window, or null.
    QWidget *calendarWindow() const { return m_calendar; }

    // Grid layout pieces the settings read at start and save at close.
    // Column widths are in twips.
    void applyColumnWidths(const std::array<int, GridColumns> &twips);
    std::array<int, GridColumns> columnWidths() const;
    FontChoice gridFont() const;
    void applyGridFont(const FontChoice &font);

    // The model menu command: check mark, ModelCode, sound catalogue, status
    // panel 2, ModelCode stored at once, mnuCate2 shown or hidden. The grid
    // header and the list stay as they are.
    void SelectModel(const QString &code);

    // The title names the file a save writes, "[*]" showing whether the
    // list is unsaved: "sample.vcs[*] - Skedra Ver.1.00", or the program
    // alone without a file.
    void updateTitle();

    // The closing sequence (after the save question let the window close):
    // minimised saves nothing; otherwise WindowState, and when not maximised
    // the geometry, grid size and column widths.
    void SaveWindowSettings();

    // Opens URLs for the help command; tests replace it.
    std::function<bool(const QUrl &)> urlOpener;
    // Runs a modal dialog (the entry editor); tests replace it to work the
    // dialog and close it.
    std::function<void(QDialog &)> showModal;
    // Today's date for the editor's status rule; tests fix it.
    std::function<QDate()> today;

    // Runs the print preview (modal); tests replace it to look at the
    // preview and close it.
    std::function<void(QPrintPreviewDialog &)> showPreview;

    // Shows a pop-up menu at a screen point without waiting; tests replace it
    // to see which menu would open.
    std::function<void(QMenu *, const QPoint &)> popupMenu;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load();
    void applyStoredGeometry(const StoredGeometry &geometry);
    void applyStoredFont(const StoredFont &stored);
    void setUpGrid(const QString &headerFormat);
    void applyModelSelection(const ModelSelection &selection);
    void createActions();
    void updateActions();
    // The model-dependent items of the Edit menu ("mnu") or of the pop-up
    // menu ("pmnu").
    void configureModelItems(const QString &prefix);
    QAction *makeAction(const QString &name, const QString &caption);
    void showRowMenu(int row, const QPoint &globalPos);
    void showHeaderMenu(int col, const QPoint &globalPos);
    void closeOtherWindows();

    void mnuDefault_Click();
    void mnuDefClear_Click();
    void editRow();
    // The entry editor of the current model, modal, over WorkEntry.
    void showEntryEditor();
    void showHelp();
    void showAbout();
    // Undo and redo (mnuUndo, mnuRedo), also from the calendar.
    void undoStep(bool redo);
    // The undo and redo items' captions and whether they can be chosen.
    void updateUndoItems();
    // The recent files (mnuRecentFile_0..5, mnuRecentClear).
    void openRecentFile(int index);
    // Shows `files` in the menu; keepRecentFiles() also stores them.
    void setRecentFiles(const QStringList &files);
    void keepRecentFiles(const QStringList &files);
    // The find command for grid column `col` (mnuFind_2..5).
    void findInColumn(int col);
    // What the print and PDF commands start from: `subject` offered first,
    // over `month`.
    PrintRequest printRequest(print::Subject subject, QDate month) const;
    // From the list: mnuPrint and mnuExportPdf.
    PrintRequest listPrintRequest() const;

    // WindowHooks
    void setBusy(bool busy) override;
    void loadingStarted() override;
    void loadingProgress(int objectsSeen, int objectsTotal) override;
    void loadingFinished() override;
    void repaint() override;
    void gridChanged() override;
    void updateCountPanel() override;
    void fileUsed(const QString &path) override;
    void printPreview(const print::Printout &printout) override;

    SessionState m_state;
    ListGrid m_grid;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs *m_dialogs;
    std::unique_ptr<ListHistory> m_history;
    std::unique_ptr<ListCommands> m_list;
    std::unique_ptr<AddCommands> m_add;
    std::unique_ptr<FileCommands> m_files;
    SoundCatalogue m_catalogue;

    GridView *m_view = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QMenu *m_popup = nullptr;
    QMenu *m_headerPopup = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QPointer<frmRun> m_loading;
    QPointer<QWidget> m_calendar;
    std::array<int, GridColumns> m_startColumnWidths{};
    StoredGeometry m_startGeometry;  // as read, when it was applied
    QStringList m_recentFiles;
    int m_busyDepth = 0;
};

} // namespace skedra
