// The main window: the list grid with its menus, toolbar, pop-up menu and
// status bar. The rules live in widget-free classes (ListGrid, ListCommands,
// FileCommands); this window shows their state and wires the user's actions
// to them.
//
// Actions are made in createActions() with objectName set to the item's own
// name ("mnuDEl", "tbrSave", "pmnuUp"); items of a control array carry the
// index after an underscore ("mnuOpen_0", "mnuOpen_1").
#pragma once

#include "dialogs.h"
#include "filecommands.h"
#include "listcommands.h"
#include "listgrid.h"
#include "session.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QUrl;

namespace skedra {

class GridView;
class frmRun;

// "Skedra Ver.<major>.<minor><revision>"
QString windowTitleText();

// Status panel 2: "機種：V601SH", "機種：J-SH53".
QString modelPanelText(const QString &modelCode);

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
    GridView *gridView() const { return m_view; }

    // Opens the file named on the command line; the last step of start-up.
    void openCommandLine(const QString &commandLine);

    // Rewrites the grid from the table; other windows call it after they
    // changed the list.
    void Grid_refresh();
    void UpdateCountPanel();

    // The grid font command (tbrFont).
    void Font_Change();

    // Grid layout pieces the settings read at start and save at close.
    // Column widths are in twips.
    void applyColumnWidths(const std::array<int, GridColumns> &twips);
    std::array<int, GridColumns> columnWidths() const;
    FontChoice gridFont() const;
    void applyGridFont(const FontChoice &font);

    // Opens URLs for the help command; tests replace it.
    std::function<bool(const QUrl &)> urlOpener;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load();
    void setUpGrid();
    void readGridSettings();
    void createActions();
    void updateActions();
    QAction *makeAction(const QString &name, const QString &caption);
    void showRowMenu(int row, const QPoint &globalPos);
    void editRow();
    void showHelp();
    void showAbout();

    // WindowHooks
    void setBusy(bool busy) override;
    void loadingStarted() override;
    void loadingProgress(int objectsSeen, int objectsTotal) override;
    void loadingFinished() override;
    void repaint() override;
    void gridChanged() override;
    void updateCountPanel() override;

    SessionState m_state;
    ListGrid m_grid;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs *m_dialogs;
    std::unique_ptr<ListCommands> m_list;
    std::unique_ptr<FileCommands> m_files;

    GridView *m_view = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QMenu *m_popup = nullptr;
    QPointer<frmRun> m_loading;
    std::array<int, GridColumns> m_startColumnWidths{};
    int m_busyDepth = 0;
};

} // namespace skedra
