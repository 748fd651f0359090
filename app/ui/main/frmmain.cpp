#include "frmmain.h"

#include "addcommands.h"
#include "frmabout.h"
#include "frmcalendar.h"
#include "frmedit.h"
#include "frmeditr.h"
#include "frmfind.h"
#include "frmrun.h"
#include "gridrender.h"
#include "gridview.h"
#include "menukeys.h"
#include "menutable.h"
#include "qtdialogs.h"
#include "settings.h"
#include "startup.h"
#include "toolicons.h"
#include "version.h"

#include <QAction>
#include <QHash>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace skedra {

namespace {

// The smallest window, in twips.
constexpr int MinWidthTwips = 7700;
constexpr int MinHeightTwips = 3000;

// The area of all screens that windows may take.
QRect availableDesktop()
{
    QRect desktop;
    for (const QScreen *screen : QGuiApplication::screens())
        desktop |= screen->availableVirtualGeometry();
    return desktop;
}

} // namespace

QString windowTitleText()
{
    return QStringLiteral("Skedra Ver.%1.%2%3")
        .arg(SKEDRA_VERSION_MAJOR)
        .arg(SKEDRA_VERSION_MINOR)
        .arg(SKEDRA_VERSION_PATCH);
}

frmMain::frmMain(QWidget *parent, Dialogs *dialogs)
    : QMainWindow(parent)
    , urlOpener([](const QUrl &url) { return QDesktopServices::openUrl(url); })
    , showModal([](QDialog &dialog) { dialog.exec(); })
    , today([] { return QDate::currentDate(); })
    , showPreview([](QPrintPreviewDialog &dialog) { dialog.exec(); })
    , popupMenu([](QMenu *menu, const QPoint &pos) { menu->popup(pos); })
{
    setObjectName(QStringLiteral("frmMain"));
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = dialogs;
    WindowHooks &hooks = *this;
    m_history = std::make_unique<ListHistory>(m_state, m_grid, hooks);
    m_list = std::make_unique<ListCommands>(m_state, m_grid, *m_dialogs, hooks, *m_history);
    m_files = std::make_unique<FileCommands>(m_state, m_grid, *m_dialogs, hooks, m_list->defaults, *m_history);
    m_add = std::make_unique<AddCommands>(m_state, m_grid, *m_dialogs, hooks, *m_list);
    m_list->editorHook = [this](SessionState &) { showEntryEditor(); };
    Form_Load();
}

frmMain::~frmMain()
{
    while (m_busyDepth > 0)
        setBusy(false);
    // An open calendar works on this window's state.
    delete m_calendar;
    // The view reads the grid, which is destroyed before the child widgets.
    delete m_view;
    m_view = nullptr;
}

void frmMain::Form_Load()
{
    createHexCoder(m_state);

    m_view = new GridView(m_grid, this);
    setCentralWidget(m_view);
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_panel1 = new QLabel(status);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setMinimumWidth(120);
    m_panel2 = new QLabel(status);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    status->addWidget(m_panel1);
    status->addWidget(m_panel2, 1);
    setStatusBar(status);

    createActions();
    findHook = [this] { showFindDialog(*this, *m_dialogs); };

    connect(m_view, &GridView::headerClicked, this, [this](int col) { m_list->headerClick(col); });
    connect(m_view, &GridView::rowDoubleClicked, this, [this](int) { editRow(); });
    connect(m_view, &GridView::deletePressed, this, [this] { m_list->deleteRows(); });
    connect(m_view, &GridView::rowContextRequested, this, &frmMain::showRowMenu);
    connect(m_view, &GridView::headerContextRequested, this, &frmMain::showHeaderMenu);
    connect(m_view, &GridView::filesDropped, this, [this](const QStringList &paths) {
        m_files->dropFiles(paths);
        updateTitle();
    });
    // Every step recorded, undone or redone, and every save, shows in the
    // undo items and the title.
    connect(&m_history->stack(), &QUndoStack::indexChanged, this, &frmMain::updateUndoItems);
    connect(&m_history->stack(), &QUndoStack::cleanChanged, this, &frmMain::updateTitle);

    // The designed size and grid font.
    setMinimumSize(twipsToPixels(MinWidthTwips), twipsToPixels(MinHeightTwips));
    resize(1000, 600);
    QFont font = m_view->font();
    font.setPointSizeF(9.0);
    m_view->setGridFont(font);

    // The stored settings, in the order of the start-up sequence. The coder
    // came first, above.
    const StartupSettings s = LoadSettings(SettingsStore());
    if (s.geometry)
        applyStoredGeometry(*s.geometry);
    m_state.AttachmentFolders = s.attachmentFolders;
    applyStoredFont(s.font);
    m_startColumnWidths = s.columnWidths;
    // The grid follows the window in the layout, so the window's size is
    // all the resize base there is.
    if (s.windowState == WindowShowState::Maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_list->defaults = s.entryDefaults;
    // The header by the model stored at start; a later model change keeps it.
    setUpGrid(s.headerFormat);
    applyModelSelection(SelectStartupModel(m_state, m_catalogue, s.storedModelCode));

    setRecentFiles(SettingsStore().recentFiles());
    updateUndoItems();
    updateTitle();
    updateCountPanel();
    // The file named on the command line comes last: openCommandLine().
}

void frmMain::applyStoredGeometry(const StoredGeometry &g)
{
    // Left, top, height, width as stored. The grid fills the window, so its
    // stored size follows from the window's and is not applied on its own.
    m_startGeometry = g;
    const QRect place = storedPlace(g, QRect(pos(), size()), availableDesktop(), minimumSize());
    move(place.topLeft());
    resize(place.size());
}

void frmMain::applyStoredFont(const StoredFont &stored)
{
    QFont font = m_view->font();
    if (stored.name && !stored.name->isEmpty())
        font.setFamily(*stored.name);
    if (stored.size && *stored.size > 0 && *stored.size < 1000)
        font.setPointSizeF(*stored.size);
    if (stored.bold)
        font.setBold(*stored.bold);
    if (stored.italic)
        font.setItalic(*stored.italic);
    m_view->setGridFont(font);
}

void frmMain::setUpGrid(const QString &headerFormat)
{
    m_grid.setFormatString(headerFormat);
    applyColumnWidths(m_startColumnWidths);
    m_grid.setRowSel(m_grid.row());
    m_view->showGrid();
}

void frmMain::applyModelSelection(const ModelSelection &selection)
{
    for (const auto &[item, checked] : selection.checks) {
        if (QAction *a = m_actions.value(item))
            a->setChecked(checked);
    }
    m_panel2->setText(selection.statusText);
    if (QMenu *extended = m_menus.value(QStringLiteral("mnuCate2")))
        extended->menuAction()->setVisible(selection.extendedMenuVisible);
}

void frmMain::SelectModel(const QString &code)
{
    SettingsStore settings;
    const ModelSelection selection = skedra::SelectModel(m_state, m_catalogue, settings, code);
    applyModelSelection(selection);
    if (!selection.saved)
        m_dialogs->error(QStringLiteral("機種の設定を保存できませんでした。　　"));
}

void frmMain::applyColumnWidths(const std::array<int, GridColumns> &twips)
{
    m_view->setColumnWidthsTwips(twips);
}

std::array<int, GridColumns> frmMain::columnWidths() const
{
    return m_view->columnWidthsTwips();
}

FontChoice frmMain::gridFont() const
{
    return fontChoiceOf(m_view->font());
}

void frmMain::applyGridFont(const FontChoice &choice)
{
    m_view->setGridFont(withFontChoice(m_view->font(), choice));
}

void frmMain::Font_Change()
{
    const std::optional<FontChoice> chosen = m_dialogs->font(gridFont());
    if (!chosen)
        return;
    applyGridFont(*chosen);
    // The layout as at load: the current model's header, the widths read at
    // start.
    setUpGrid(modelProfileOrDefault(m_state.ModelCode).headerFormat());

    GridFont saved;
    saved.name = chosen->name;
    saved.size = chosen->size;
    saved.bold = chosen->bold;
    saved.italic = chosen->italic;
    if (!SettingsStore().saveFont(saved))
        m_dialogs->error(QStringLiteral("フォントの設定を保存できませんでした。　　"));
}

QAction *frmMain::makeAction(const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    return action;
}

void frmMain::createActions()
{
    // The commands that exist so far, by the name the menu table runs them
    // by. An item whose command is not here yet stays hidden.
    QHash<QString, std::function<void()>> commands = {
        {QStringLiteral("mnuOpen_0"), [this] { m_files->openNew(); }},
        {QStringLiteral("mnuOpen_1"), [this] { m_files->openAdd(); }},
        {QStringLiteral("mnuClose"), [this] { m_files->closeList(); }},
        {QStringLiteral("mnuOverwrite"), [this] { m_files->save(); }},
        {QStringLiteral("mnuStore"), [this] { m_files->saveAs(); }},
        {QStringLiteral("mnuRecentClear"), [this] { keepRecentFiles({}); }},
        {QStringLiteral("mnuUndo"), [this] { undoStep(false); }},
        {QStringLiteral("mnuRedo"), [this] { undoStep(true); }},
        {QStringLiteral("mnuExportIcs"), [this] { m_files->exportIcs(); }},
        {QStringLiteral("mnuImportIcs"), [this] { m_files->importIcs(); }},
        {QStringLiteral("mnuPrint"), [this] { m_files->print(listPrintRequest()); }},
        {QStringLiteral("mnuExportPdf"), [this] { m_files->exportPdf(listPrintRequest()); }},
        {QStringLiteral("mnuQuit"), [this] { close(); }},
        {QStringLiteral("mnuAllSel"), [this] { m_list->selectAll(); }},
        {QStringLiteral("mnuEditLine"), [this] { editRow(); }},
        {QStringLiteral("mnuAdd"), [this] { m_add->add(QDateTime::currentDateTime()); }},
        {QStringLiteral("mnuCopyAdd"), [this] { m_add->copyAdd(QDateTime::currentDateTime()); }},
        {QStringLiteral("mnuDEl"), [this] { m_list->deleteRows(); }},
        {QStringLiteral("mnuSave"), [this] { m_files->saveSelected(); }},
        {QStringLiteral("mnuDefault"), [this] { mnuDefault_Click(); }},
        {QStringLiteral("mnuDefClear"), [this] { mnuDefClear_Click(); }},
        {QStringLiteral("mnuDown"), [this] { m_list->moveDown(); }},
        {QStringLiteral("mnuUp"), [this] { m_list->moveUp(); }},
        {QStringLiteral("mnuOldDel"), [this] { m_list->deleteCompleted(); }},
        {QStringLiteral("mnuZtoH_0"), [this] { m_list->halfWidth(0); }},
        {QStringLiteral("mnuZtoH_1"), [this] { m_list->halfWidth(1); }},
        {QStringLiteral("mnuHelp2"), [this] { showHelp(); }},
        {QStringLiteral("mnuVer"), [this] { showAbout(); }},
        {QStringLiteral("Font_Change"), [this] { Font_Change(); }},
        {QStringLiteral("disp_calendar"), [this] { disp_calendar(); }},
        {QStringLiteral("pmnuCancel"), [] {}},
        {QStringLiteral("p2mnuCancel"), [] {}},
        {QStringLiteral("frmFind"), [this] {
             if (findHook)
                 findHook();
         }},
    };
    for (int i = 0; i < categories::MenuItemCount; ++i) {
        const QString index = QString::number(i);
        commands.insert(QStringLiteral("mnuCatego_") + index,
                        [this, i] { m_list->setCategory(categories::Menu::Cate, i); });
        commands.insert(QStringLiteral("mnuCatego2_") + index,
                        [this, i] { m_list->setCategory(categories::Menu::Cate2, i); });
    }
    for (int i = 0; i < RecentFileCount; ++i)
        commands.insert(QStringLiteral("mnuRecentFile_") + QString::number(i), [this, i] { openRecentFile(i); });
    for (int col = 2; col <= 5; ++col)
        commands.insert(QStringLiteral("mnuFind_") + QString::number(col), [this, col] { findInColumn(col); });
    for (const MenuEntry &e : menuTable()) {
        if (const auto command = attributeCommandFor(e.objectName());
            command && e.name.startsWith(QLatin1String("mnu")))
            commands.insert(e.objectName(), [this, c = *command] { m_list->setAttribute(c); });
    }
    for (const ModelProfile &model : allModelProfiles())
        commands.insert(model.menuItem, [this, code = model.code] { SelectModel(code); });

    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    QHash<QString, QMenu *> &menus = m_menus;
    QHash<QString, QAction *> &actions = m_actions;
    // Wires an item to its own command or to the command of the item it
    // runs; false when neither exists yet.
    auto wire = [&](QAction *action, const MenuEntry &e) {
        const QString key = e.runs.isEmpty() ? e.objectName() : e.runs;
        if (const auto command = commands.find(key); command != commands.end()) {
            // A command may have changed the list, its file or Dirty.
            connect(action, &QAction::triggered, this, [this, run = *command] {
                run();
                updateTitle();
            });
            return true;
        }
        return false;
    };

    for (const MenuEntry &e : menuTable()) {
        switch (e.kind) {
        case MenuEntryKind::Menu: {
            QMenu *parent = menus.value(e.parent);
            QMenu *menu = parent ? parent->addMenu(e.caption) : menuBar()->addMenu(e.caption);
            menu->setObjectName(e.objectName());
            menus.insert(e.objectName(), menu);
            break;
        }
        case MenuEntryKind::Popup: {
            auto *menu = new QMenu(e.caption, this);
            menu->setObjectName(e.objectName());
            menus.insert(e.objectName(), menu);
            break;
        }
        case MenuEntryKind::Separator:
            if (QMenu *parent = menus.value(e.parent))
                parent->addSeparator();
            break;
        case MenuEntryKind::Item:
        case MenuEntryKind::ToolMenuItem: {
            QAction *action = makeAction(e.objectName(), e.caption);
            if (!e.shortcuts.isEmpty())
                action->setShortcuts(QKeySequence::listFromString(e.shortcuts, QKeySequence::PortableText));
            actions.insert(e.objectName(), action);
            action->setVisible(wire(action, e));
            if (e.kind == MenuEntryKind::Item) {
                if (QMenu *parent = menus.value(e.parent))
                    parent->addAction(action);
            } else if (QAction *button = actions.value(e.parent)) {
                if (!button->menu()) {
                    auto *drop = new QMenu(this);
                    drop->setObjectName(e.parent + QStringLiteral("Menu"));
                    button->setMenu(drop);
                }
                button->menu()->addAction(action);
            }
            break;
        }
        case MenuEntryKind::ToolButton: {
            QAction *action = makeAction(e.objectName(), e.caption);
            action->setToolTip(e.toolTip);
            action->setIcon(toolbarIcon(e.objectName(), style()));
            actions.insert(e.objectName(), action);
            m_toolbar->addAction(action);
            action->setVisible(wire(action, e));
            break;
        }
        }
    }

    for (const ModelProfile &model : allModelProfiles()) {
        if (QAction *item = actions.value(model.menuItem))
            item->setCheckable(true);
    }

    // A drop-down beside the open button; menus left without a visible item
    // are hidden with their items.
    if (QAction *open = actions.value(QStringLiteral("tbrOpen")); open && open->menu()) {
        if (auto *tb = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(open)))
            tb->setPopupMode(QToolButton::MenuButtonPopup);
    }
    for (QMenu *menu : std::as_const(menus)) {
        const QList<QAction *> items = menu->actions();
        const bool anyVisible = std::any_of(items.begin(), items.end(), [](QAction *a) {
            return a->isVisible() && !a->isSeparator();
        });
        menu->menuAction()->setVisible(anyVisible);
    }
    // Keys that two items of one menu share only move the highlight.
    auto *sharedKeys = new SharedAccessKeys(this);
    for (QMenu *menu : findChildren<QMenu *>())
        sharedKeys->watch(menu);
    m_popup = menus.value(QStringLiteral("pmnuEdit"));
    m_headerPopup = menus.value(QStringLiteral("p2mnuMenu"));
    if (QMenu *edit = menus.value(QStringLiteral("mnuEdit")))
        connect(edit, &QMenu::aboutToShow, this, &frmMain::updateActions);
}

void frmMain::updateActions()
{
    configureModelItems(QStringLiteral("mnu"));
}

void frmMain::configureModelItems(const QString &prefix)
{
    const CategoryMenuConfig config = categoryMenuConfig(modelProfileOrDefault(m_state.ModelCode));
    auto menu = [&](const char *name) { return m_menus.value(prefix + QLatin1String(name)); };
    if (QMenu *cate = menu("Cate"))
        cate->setTitle(config.categoryMenuCaption);
    for (int i = 0; i < categories::MenuItemCount; ++i) {
        const QString name = prefix + QStringLiteral("Catego_") + QString::number(i);
        if (QAction *item = m_actions.value(name))
            item->setVisible(config.categoryItemVisible[static_cast<size_t>(i)]);
    }
    if (QMenu *extended = menu("Cate2"))
        extended->menuAction()->setVisible(config.extendedMenuVisible);
    if (QMenu *colour = menu("DateColor"))
        colour->menuAction()->setEnabled(config.dateColourEnabled);
    if (QMenu *protection = menu("AutoDel"))
        protection->menuAction()->setEnabled(config.autoDeleteEnabled);
    if (QMenu *standby = menu("Wait"))
        standby->menuAction()->setEnabled(config.standbyEnabled);
}

void frmMain::showRowMenu(int row, const QPoint &globalPos)
{
    if (row < 1 || !m_popup)
        return;
    configureModelItems(QStringLiteral("pmnu"));
    popupMenu(m_popup, globalPos);
}

void frmMain::showHeaderMenu(int col, const QPoint &globalPos)
{
    FindColumn = col;
    const std::optional<QString> caption = findMenuCaption(col);
    if (!caption || !m_headerPopup)
        return;
    if (QAction *find = m_actions.value(QStringLiteral("p2mnuFind"))) {
        find->setText(*caption);
        find->setEnabled(static_cast<bool>(findHook));
    }
    popupMenu(m_headerPopup, globalPos);
}

void frmMain::undoStep(bool redo)
{
    if (redo)
        m_history->redo();
    else
        m_history->undo();
    // An open calendar shows the list as it now is.
    if (auto *calendar = qobject_cast<calendar::frmCalendar *>(m_calendar.data())) {
        calendar->sDisp();
        calendar->MSFlexGrid1_Click();
    }
}

void frmMain::updateUndoItems()
{
    const struct {
        const char16_t *item;
        bool can;
        QString step;
    } items[] = {
        {u"mnuUndo", m_history->canUndo(), m_history->undoName()},
        {u"mnuRedo", m_history->canRedo(), m_history->redoName()},
    };
    for (const auto &i : items) {
        const QString name = QString::fromUtf16(i.item);
        QAction *action = m_actions.value(name);
        const MenuEntry *entry = findMenuEntry(name);
        if (!action || !entry)
            continue;
        action->setEnabled(i.can);
        action->setText(captionWithStep(entry->caption, i.can ? i.step : QString()));
    }
    updateTitle();
}

void frmMain::updateTitle()
{
    const QString &file = m_files->saveTarget();
    setWindowTitle(titleWithFile(file, windowTitleText()));
    setWindowFilePath(file);
    // Without a file the title has no place for the mark.
    setWindowModified(!file.isEmpty() && m_state.isDirty());
}

void frmMain::setRecentFiles(const QStringList &files)
{
    m_recentFiles = files.mid(0, RecentFileCount);
    for (int i = 0; i < RecentFileCount; ++i) {
        QAction *item = m_actions.value(QStringLiteral("mnuRecentFile_") + QString::number(i));
        if (!item)
            continue;
        const bool used = i < m_recentFiles.size();
        item->setVisible(used);
        item->setText(used ? recentFileCaption(i + 1, m_recentFiles[i])
                           : findMenuEntry(item->objectName())->caption);
    }
    if (QMenu *recent = m_menus.value(QStringLiteral("mnuRecent")))
        recent->menuAction()->setEnabled(!m_recentFiles.isEmpty());
}

void frmMain::keepRecentFiles(const QStringList &files)
{
    setRecentFiles(files);
    if (!SettingsStore().saveRecentFiles(m_recentFiles))
        m_dialogs->error(QStringLiteral("最近使ったファイルの一覧を保存できませんでした。　　"));
}

void frmMain::fileUsed(const QString &path)
{
    keepRecentFiles(withRecentFile(m_recentFiles, path));
}

void frmMain::openRecentFile(int index)
{
    const QString path = m_recentFiles.value(index);
    if (path.isEmpty() || m_files->openRecent(path))
        return;
    QStringList files = m_recentFiles;
    files.removeAll(path);
    keepRecentFiles(files);
}

void frmMain::findInColumn(int col)
{
    FindColumn = col;
    if (findHook)
        findHook();
}

void frmMain::mnuDefault_Click()
{
    SettingsStore settings;
    bool stored = true;
    if (SetDefaultsFromEntry(m_list->defaults, settings, m_state.ScheduleList, m_grid.row(), &stored)
        && !stored)
        m_dialogs->error(QStringLiteral("既定値を保存できませんでした。　　"));
}

void frmMain::mnuDefClear_Click()
{
    SettingsStore settings;
    if (!ClearDefaults(m_list->defaults, settings))
        m_dialogs->error(QStringLiteral("既定値を保存できませんでした。　　"));
}

void frmMain::editRow()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_add->recordReference(now);
    m_list->editRow(now);
}

// frmEditR for 601SH to 604SH, frmEdit for SH51 to SH53.
void frmMain::showEntryEditor()
{
    WindowHooks &hooks = *this;
    const qint64 alarmOffset = entryDefaults().ArarmDate.toLongLong();
    if (modelProfileOrDefault(m_state.ModelCode).editor() == EditorKind::Edit) {
        frmEdit editor(m_state, m_grid, *m_dialogs, hooks, m_catalogue, today, this);
        editor.model().alarmOffsetMinutes = alarmOffset;
        editor.model().history = m_history.get();
        showModal(editor);
        return;
    }
    frmEditR editor(m_state, m_grid, *m_dialogs, hooks, m_catalogue, today, this);
    editor.model().alarmOffsetMinutes = alarmOffset;
    editor.model().history = m_history.get();
    showModal(editor);
}

void frmMain::showHelp()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString path = folder + QStringLiteral("Skedra.html");
    if (!QFileInfo(path).isFile() || !urlOpener(QUrl::fromLocalFile(path)))
        m_dialogs->error(QDir::toNativeSeparators(path)
                         + QStringLiteral("を開けませんでした。　　"));
}

void frmMain::showAbout()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::openCommandLine(const QString &commandLine)
{
    m_files->openCommandLine(commandLine);
}

void frmMain::Grid_refresh()
{
    skedra::Grid_refresh(m_state.ScheduleList, m_grid);
    m_view->showGrid();
}

void frmMain::disp_calendar()
{
    if (m_calendar) {
        m_calendar->activateWindow();
        return;
    }
    calendar::CalendarHost host;
    host.columnWidthsTwips = columnWidths();
    host.mainGeometry = geometry();
    host.desktop = availableDesktop();
    host.returnToList = [this] {
        show();
        Grid_refresh();
    };
    // The calendar's commands are this window's own, on one entry.
    auto selectEntry = [this](int entry) {
        m_grid.setRow(entry);
        m_view->showGrid();
    };
    host.add = [this] { m_add->add(QDateTime::currentDateTime()); };
    host.copyAdd = [this] { m_add->copyAdd(QDateTime::currentDateTime()); };
    host.edit = [this, selectEntry](int entry) {
        selectEntry(entry);
        editRow();
    };
    host.deleteEntry = [this, selectEntry](int entry) {
        selectEntry(entry);
        m_list->deleteRows();
    };
    host.setDefaults = [this, selectEntry](int entry) {
        selectEntry(entry);
        mnuDefault_Click();
    };
    host.clearDefaults = [this] { mnuDefClear_Click(); };
    host.attributeMenus = [this, selectEntry](int entry) {
        selectEntry(entry);
        configureModelItems(QStringLiteral("pmnu"));
        std::vector<QMenu *> menus;
        for (const char *name : {"pmnuCate", "pmnuSecret", "pmnuPriority", "pmnuDateColor", "pmnuAutoDel", "pmnuWait"})
            if (QMenu *menu = m_menus.value(QString::fromLatin1(name)))
                menus.push_back(menu);
        return menus;
    };
    host.print = [this](QDate month) { m_files->print(printRequest(print::Subject::Month, month)); };
    auto *window = new calendar::frmCalendar(m_state, std::move(host));
    window->today = today;
    window->Form_Load();
    window->setWindowTitle(windowTitleText());
    // Undo and redo by their keys in the calendar too.
    for (const char *name : {"mnuUndo", "mnuRedo"})
        if (QAction *action = m_actions.value(QString::fromLatin1(name)))
            window->addAction(action);
    m_calendar = window;
    hide();
    window->show();
}

PrintRequest frmMain::printRequest(print::Subject subject, QDate month) const
{
    PrintRequest request;
    request.subject = subject;
    request.month = month;
    request.today = today();
    request.now = QDateTime::currentDateTime();
    request.columnWidths = columnWidths();
    return request;
}

PrintRequest frmMain::listPrintRequest() const
{
    // The selected rows when several are, and the month of the current
    // row's entry.
    return printRequest(print::Subject::SelectedRows, monthOfRow(m_state.ScheduleList, m_grid, today()));
}

void frmMain::printPreview(const print::Printout &printout)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(printout.layout);
    printer.setDocName(printout.title);
    // Over the window the command came from: the calendar hides this one.
    QWidget *owner = m_calendar && m_calendar->isVisible() ? m_calendar.data() : this;
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー - ") + printout.title);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&printout](QPrinter *target) { printout.paint(*target); });
    showPreview(dialog);
}

void frmMain::UpdateCountPanel()
{
    updateCountPanel();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_files->queryClose()) {
        event->ignore();
        return;
    }
    closeOtherWindows();
    SaveWindowSettings();
    event->accept();
}

void frmMain::closeOtherWindows()
{
    // The windows this one opened, the most recent first.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QWidget *child = *it;
        if (child->isWindow() && child->isVisible() && !qobject_cast<QMenu *>(child))
            child->close();
    }
}

void frmMain::SaveWindowSettings()
{
    WindowShowState state = WindowShowState::Normal;
    if (isMinimized())
        state = WindowShowState::Minimised;
    else if (isMaximized())
        state = WindowShowState::Maximised;
    // A value whose pixels did not change since start keeps its stored
    // twips, which need not be a whole number of pixels.
    auto twips = [](const std::optional<double> &stored, int pixels) {
        return stored && storedPixels(*stored) == pixels ? *stored : double(pixelsToTwips(pixels));
    };
    const StoredGeometry &g = m_startGeometry;
    WindowGeometry geometry;
    geometry.left = twips(g.left, x());
    geometry.top = twips(g.top, y());
    geometry.width = twips(g.width, width());
    geometry.height = twips(g.height, height());
    geometry.gridWidth = twips(g.gridWidth, m_view->width());
    geometry.gridHeight = twips(g.gridHeight, m_view->height());
    if (!SettingsStore().SaveWindowSettings(state, geometry, columnWidths()))
        m_dialogs->error(QStringLiteral("ウィンドウの設定を保存できませんでした。　　"));
}

void frmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        updateTitle();
    QMainWindow::changeEvent(event);
}

void frmMain::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void frmMain::loadingStarted()
{
    if (!m_loading)
        m_loading = new frmRun(this);
    m_loading->setProgress(0, 0);
    m_loading->show();
    m_loading->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMain::loadingProgress(int objectsSeen, int objectsTotal)
{
    if (m_loading)
        m_loading->setProgress(objectsSeen, objectsTotal);
}

void frmMain::loadingFinished()
{
    if (m_loading) {
        m_loading->hide();
        m_loading->deleteLater();
    }
}

void frmMain::repaint()
{
    QWidget::repaint();
}

void frmMain::gridChanged()
{
    m_view->showGrid();
    m_view->setFocus();
    updateTitle();
}

void frmMain::updateCountPanel()
{
    m_panel1->setText(countPanelText(m_grid));
}

} // namespace skedra
