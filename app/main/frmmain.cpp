#include "frmmain.h"

#include "frmabout.h"
#include "frmrun.h"
#include "gridrender.h"
#include "gridview.h"
#include "menutable.h"
#include "qtdialogs.h"
#include "settings.h"
#include "startup.h"
#include "version.h"

#include <QAction>
#include <QHash>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace skedra {

namespace {

// The smallest window, in twips.
constexpr int MinWidthTwips = 7700;
constexpr int MinHeightTwips = 3000;

} // namespace

QString windowTitleText()
{
    return QStringLiteral("Skedra Ver.%1.%2%3")
        .arg(SKEDRA_VERSION_MAJOR)
        .arg(SKEDRA_VERSION_MINOR)
        .arg(SKEDRA_VERSION_PATCH);
}

QString modelPanelText(const QString &modelCode)
{
    return (isVModel(modelCode) ? QStringLiteral("機種：V") : QStringLiteral("機種：J-"))
        + modelCode;
}

frmMain::frmMain(QWidget *parent, Dialogs *dialogs)
    : QMainWindow(parent)
    , urlOpener([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("frmMain"));
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = dialogs;
    WindowHooks &hooks = *this;
    m_list = std::make_unique<ListCommands>(m_state, m_grid, *m_dialogs, hooks);
    m_files = std::make_unique<FileCommands>(m_state, m_grid, *m_dialogs, hooks);
    Form_Load();
}

frmMain::~frmMain()
{
    while (m_busyDepth > 0)
        setBusy(false);
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

    connect(m_view, &GridView::headerClicked, this, [this](int col) { m_list->headerClick(col); });
    connect(m_view, &GridView::rowDoubleClicked, this, [this](int) { editRow(); });
    connect(m_view, &GridView::deletePressed, this, [this] { m_list->deleteRows(); });
    connect(m_view, &GridView::rowContextRequested, this, &frmMain::showRowMenu);
    connect(m_view, &GridView::filesDropped, this,
            [this](const QStringList &paths) { m_files->dropFiles(paths); });

    setMinimumSize(twipsToPixels(MinWidthTwips), twipsToPixels(MinHeightTwips));
    resize(1000, 600);
    readGridSettings();
    setUpGrid();

    setWindowTitle(windowTitleText());
    m_panel2->setText(modelPanelText(m_state.ModelCode));
    updateCountPanel();
}

void frmMain::readGridSettings()
{
    const SettingsStore settings;
    m_startColumnWidths = settings.columnWidths();
    // The designed grid font: the system's, at the small size of a list.
    QFont font = m_view->font();
    font.setPointSizeF(9.0);
    const StoredFont stored = settings.font();
    if (stored.name && !stored.name->isEmpty())
        font.setFamily(*stored.name);
    if (stored.size && *stored.size > 0)
        font.setPointSizeF(*stored.size);
    if (stored.bold)
        font.setBold(*stored.bold);
    if (stored.italic)
        font.setItalic(*stored.italic);
    m_view->setFont(font);
}

void frmMain::setUpGrid()
{
    m_grid.setFormatString(headerFormatFor(m_state.ModelCode));
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    applyColumnWidths(m_startColumnWidths);
    m_grid.setRowSel(m_grid.row());
    m_view->showGrid();
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
    const QFont f = m_view->font();
    FontChoice choice;
    choice.name = f.family();
    choice.size = f.pointSizeF();
    choice.bold = f.bold();
    choice.italic = f.italic();
    return choice;
}

void frmMain::applyGridFont(const FontChoice &choice)
{
    QFont f = m_view->font();
    if (!choice.name.isEmpty())
        f.setFamily(choice.name);
    if (choice.size > 0)
        f.setPointSizeF(choice.size);
    f.setBold(choice.bold);
    f.setItalic(choice.italic);
    m_view->setFont(f);
}

void frmMain::Font_Change()
{
    const std::optional<FontChoice> chosen = m_dialogs->font(gridFont());
    if (!chosen)
        return;
    applyGridFont(*chosen);
    // The layout as at load: the model's header, the widths read at start.
    setUpGrid();

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
    const QHash<QString, std::function<void()>> commands = {
        {QStringLiteral("mnuOpen_0"), [this] { m_files->openNew(); }},
        {QStringLiteral("mnuOpen_1"), [this] { m_files->openAdd(); }},
        {QStringLiteral("mnuClose"), [this] { m_files->closeList(); }},
        {QStringLiteral("mnuStore"), [this] { m_files->saveAs(); }},
        {QStringLiteral("mnuQuit"), [this] { close(); }},
        {QStringLiteral("mnuAllSel"), [this] { m_list->selectAll(); }},
        {QStringLiteral("mnuEditLine"), [this] { editRow(); }},
        {QStringLiteral("mnuDEl"), [this] { m_list->deleteRows(); }},
        {QStringLiteral("mnuSave"), [this] { m_files->saveSelected(); }},
        {QStringLiteral("mnuDown"), [this] { m_list->moveDown(); }},
        {QStringLiteral("mnuUp"), [this] { m_list->moveUp(); }},
        {QStringLiteral("mnuOldDel"), [this] { m_list->deleteCompleted(); }},
        {QStringLiteral("mnuHelp2"), [this] { showHelp(); }},
        {QStringLiteral("mnuVer"), [this] { showAbout(); }},
        {QStringLiteral("Font_Change"), [this] { Font_Change(); }},
        {QStringLiteral("pmnuCancel"), [] {}},
        {QStringLiteral("p2mnuCancel"), [] {}},
    };
    const QHash<QString, QStyle::StandardPixmap> icons = {
        {QStringLiteral("tbrOpen"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("tbrSave"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("tbrAdd"), QStyle::SP_FileIcon},
        {QStringLiteral("tbrEdit"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("tbrDel"), QStyle::SP_TrashIcon},
        {QStringLiteral("tbrDown"), QStyle::SP_ArrowDown},
        {QStringLiteral("tbrUp"), QStyle::SP_ArrowUp},
        {QStringLiteral("tbrFont"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("tbrCal"), QStyle::SP_FileDialogInfoView},
    };

    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    QHash<QString, QMenu *> menus;
    QHash<QString, QAction *> actions;
    // Wires an item to its own command or to the item whose command it runs;
    // false when neither exists yet.
    auto wire = [&](QAction *action, const MenuEntry &e) {
        const QString key = e.runs.isEmpty() ? e.objectName() : e.runs;
        if (const auto command = commands.find(key); command != commands.end()) {
            connect(action, &QAction::triggered, this, *command);
            return true;
        }
        QAction *target = e.runs.isEmpty() ? nullptr : actions.value(e.runs);
        if (target && target != action && target->isVisible()) {
            connect(action, &QAction::triggered, target, &QAction::trigger);
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
            action->setIcon(style()->standardIcon(icons.value(e.objectName(), QStyle::SP_FileIcon)));
            actions.insert(e.objectName(), action);
            m_toolbar->addAction(action);
            action->setVisible(wire(action, e));
            break;
        }
        }
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
    m_popup = menus.value(QStringLiteral("pmnuEdit"));
    if (QMenu *edit = menus.value(QStringLiteral("mnuEdit")))
        connect(edit, &QMenu::aboutToShow, this, &frmMain::updateActions);
}

void frmMain::updateActions()
{
    // Nothing of the items made so far depends on the model or the list; the
    // model-dependent items are configured here when they are added.
}

void frmMain::showRowMenu(int row, const QPoint &globalPos)
{
    if (row < 1)
        return;
    updateActions();
    if (m_popup)
        m_popup->popup(globalPos);
}

void frmMain::editRow()
{
    m_list->editRow(QDateTime::currentDateTime());
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
    event->accept();
}

void frmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        setWindowTitle(windowTitleText());
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
}

void frmMain::updateCountPanel()
{
    m_panel1->setText(countPanelText(m_grid));
}

} // namespace skedra
