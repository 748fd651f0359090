#include "frmmain.h"

#include "frmabout.h"
#include "frmrun.h"
#include "gridrender.h"
#include "gridview.h"
#include "qtdialogs.h"
#include "settings.h"
#include "startup.h"
#include "version.h"

#include <QAction>
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
    QStyle *st = style();

    // File menu.
    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QMenu *openMenu = file->addMenu(QStringLiteral("開く(&O)"));
    openMenu->setObjectName(QStringLiteral("mnuOpenM"));
    QAction *openNew = makeAction(QStringLiteral("mnuOpen_0"), QStringLiteral("新規(&N)"));
    QAction *openAdd = makeAction(QStringLiteral("mnuOpen_1"), QStringLiteral("追加(&A)"));
    openMenu->addAction(openNew);
    openMenu->addAction(openAdd);
    connect(openNew, &QAction::triggered, this, [this] { m_files->openNew(); });
    connect(openAdd, &QAction::triggered, this, [this] { m_files->openAdd(); });
    QAction *close = makeAction(QStringLiteral("mnuClose"), QStringLiteral("閉じる(&C)"));
    QAction *store = makeAction(QStringLiteral("mnuStore"), QStringLiteral("名前を付けて保存(&S)"));
    QAction *quit = makeAction(QStringLiteral("mnuQuit"), QStringLiteral("終了(&X)"));
    file->addAction(close);
    file->addAction(store);
    file->addSeparator();
    file->addAction(quit);
    connect(close, &QAction::triggered, this, [this] { m_files->closeList(); });
    connect(store, &QAction::triggered, this, [this] { m_files->saveAs(); });
    connect(quit, &QAction::triggered, this, &QWidget::close);

    // Edit menu.
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    connect(edit, &QMenu::aboutToShow, this, &frmMain::updateActions);
    QAction *allSel = makeAction(QStringLiteral("mnuAllSel"), QStringLiteral("すべて選択"));
    QAction *editLine = makeAction(QStringLiteral("mnuEditLine"), QStringLiteral("編集(&E)"));
    QAction *del = makeAction(QStringLiteral("mnuDEl"), QStringLiteral("削除(&D)"));
    QAction *save = makeAction(QStringLiteral("mnuSave"), QStringLiteral("選択行を保存(&S)"));
    QAction *down = makeAction(QStringLiteral("mnuDown"), QStringLiteral("下へ移動(&X)"));
    QAction *up = makeAction(QStringLiteral("mnuUp"), QStringLiteral("上へ移動(&Y)"));
    QAction *oldDel = makeAction(QStringLiteral("mnuOldDel"), QStringLiteral("過去予定を全削除(&O)"));
    edit->addAction(allSel);
    edit->addSeparator();
    edit->addAction(editLine);
    edit->addAction(del);
    edit->addAction(save);
    edit->addSeparator();
    edit->addAction(down);
    edit->addAction(up);
    edit->addSeparator();
    edit->addAction(oldDel);
    connect(allSel, &QAction::triggered, this, [this] { m_list->selectAll(); });
    connect(editLine, &QAction::triggered, this, &frmMain::editRow);
    connect(del, &QAction::triggered, this, [this] { m_list->deleteRows(); });
    connect(save, &QAction::triggered, this, [this] { m_files->saveSelected(); });
    connect(down, &QAction::triggered, this, [this] { m_list->moveDown(); });
    connect(up, &QAction::triggered, this, [this] { m_list->moveUp(); });
    connect(oldDel, &QAction::triggered, this, [this] { m_list->deleteCompleted(); });

    // Help menu.
    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction *help2 = makeAction(QStringLiteral("mnuHelp2"), QStringLiteral("ﾍﾙﾌﾟ(&C)"));
    QAction *ver = makeAction(QStringLiteral("mnuVer"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"));
    help->addAction(help2);
    help->addAction(ver);
    connect(help2, &QAction::triggered, this, &frmMain::showHelp);
    connect(ver, &QAction::triggered, this, &frmMain::showAbout);

    // Pop-up menu of the data rows: each item runs the menu-bar command of
    // the same name.
    m_popup = new QMenu(QStringLiteral("ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ"), this);
    m_popup->setObjectName(QStringLiteral("pmnuEdit"));
    m_popup->addAction(makeAction(QStringLiteral("pmnuCancel"), QStringLiteral("ｷｬﾝｾﾙ")));
    m_popup->addSeparator();
    auto forward = [this](const QString &name, QAction *target) {
        QAction *item = makeAction(name, target->text());
        connect(item, &QAction::triggered, target, &QAction::trigger);
        m_popup->addAction(item);
        return item;
    };
    forward(QStringLiteral("pmnuEditLine"), editLine);
    forward(QStringLiteral("pmnuDEl"), del);
    forward(QStringLiteral("pmnuSave"), save);
    m_popup->addSeparator();
    forward(QStringLiteral("pmnuDown"), down);
    forward(QStringLiteral("pmnuUp"), up);

    // Toolbar.
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto button = [this](const QString &key, const QString &caption, const QString &tip,
                         QStyle::StandardPixmap icon) {
        QAction *a = makeAction(key, caption);
        a->setToolTip(tip);
        a->setIcon(style()->standardIcon(icon));
        m_toolbar->addAction(a);
        return a;
    };
    QAction *tbrOpen = button(QStringLiteral("tbrOpen"), QStringLiteral("開く"),
                              QStringLiteral("vCalendarファイルを開きます"),
                              QStyle::SP_DialogOpenButton);
    auto *openDrop = new QMenu(this);
    openDrop->setObjectName(QStringLiteral("tbrOpenMenu"));
    QAction *tbrOpenN = makeAction(QStringLiteral("tbrOpenN"), QStringLiteral("新規(&N)"));
    QAction *tbrOpenA = makeAction(QStringLiteral("tbrOpenA"), QStringLiteral("追加(&A)"));
    openDrop->addAction(tbrOpenN);
    openDrop->addAction(tbrOpenA);
    tbrOpen->setMenu(openDrop);
    if (auto *tb = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(tbrOpen)))
        tb->setPopupMode(QToolButton::MenuButtonPopup);
    connect(tbrOpen, &QAction::triggered, openNew, &QAction::trigger);
    connect(tbrOpenN, &QAction::triggered, openNew, &QAction::trigger);
    connect(tbrOpenA, &QAction::triggered, openAdd, &QAction::trigger);
    QAction *tbrSave = button(QStringLiteral("tbrSave"), QStringLiteral("保存"),
                              QStringLiteral("現在のデータをvCalendarファイルに保存します"),
                              QStyle::SP_DialogSaveButton);
    connect(tbrSave, &QAction::triggered, store, &QAction::trigger);
    QAction *tbrEdit = button(QStringLiteral("tbrEdit"), QStringLiteral("編集"),
                              QStringLiteral("現在のデータを編集します"),
                              QStyle::SP_FileDialogDetailedView);
    connect(tbrEdit, &QAction::triggered, this, &frmMain::editRow);
    QAction *tbrDel = button(QStringLiteral("tbrDel"), QStringLiteral("削除"),
                             QStringLiteral("現在のデータを削除します"), QStyle::SP_TrashIcon);
    connect(tbrDel, &QAction::triggered, del, &QAction::trigger);
    QAction *tbrDown = button(QStringLiteral("tbrDown"), QStringLiteral("下へ"),
                              QStringLiteral("現在の選択行を下へ移動します"), QStyle::SP_ArrowDown);
    connect(tbrDown, &QAction::triggered, down, &QAction::trigger);
    QAction *tbrUp = button(QStringLiteral("tbrUp"), QStringLiteral("上へ"),
                            QStringLiteral("現在の選択行を上へ移動します"), QStyle::SP_ArrowUp);
    connect(tbrUp, &QAction::triggered, up, &QAction::trigger);
    QAction *tbrFont = button(QStringLiteral("tbrFont"), QStringLiteral("ﾌｫﾝﾄ"),
                              QStringLiteral("フォントの設定を行います"),
                              QStyle::SP_FileDialogContentsView);
    connect(tbrFont, &QAction::triggered, this, &frmMain::Font_Change);
    Q_UNUSED(st);
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
