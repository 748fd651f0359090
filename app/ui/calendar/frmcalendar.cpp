#include "frmcalendar.h"

#include "gridrender.h"
#include "settings.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace skedra::calendar {

namespace {

// Layout figures are in twips: 15 to a pixel at 96 dots per inch.
constexpr int TwipsPerPixel = 15;
int px(double twips) { return int(std::lround(twips / TwipsPerPixel)); }
double twips(int pixels) { return double(pixels) * TwipsPerPixel; }

// Wide enough for the print button between the step buttons and
// "表示切替" (without it the window could go down to 5550).
constexpr int MinimumWidthTwips = 6700;
constexpr int MinimumHeightTwips = 5400;
constexpr int FirstWidthTwips = 8880;   // the size of a first opening
constexpr int FirstHeightTwips = 8100;
constexpr int TopRowTwips = 120;     // the label and the buttons
constexpr int MonthGridTop = 600;
constexpr int GridLeft = 120;
constexpr int PictureSize = 300;     // a picture button is 300 twips square

const QString MonthToolTip = QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで新規ｽｹｼﾞｭｰﾙ作成");

QColor colourOf(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// The cell text as the grid shows it: the carriage returns end lines.
QString shownText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// `total` pixels as `parts` sizes that add up to it exactly, the first ones
// a pixel larger when it does not divide evenly.
std::vector<int> splitEvenly(int total, int parts)
{
    std::vector<int> sizes(size_t(parts), total / parts);
    for (int i = 0; i < total % parts; ++i)
        ++sizes[size_t(i)];
    return sizes;
}

// Paints a day cell with whole lines only; the entries that do not fit are
// counted on its last line.
class DayCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget *view = cell.widget;
        QStyle *style = view ? view->style() : QApplication::style();
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
        const int fit = text.height() / std::max(1, cell.fontMetrics.lineSpacing());
        // The delegate hands the text over with its line ends as line
        // separators.
        cell.text = cellLines(cell.text.split(QChar::LineSeparator), fit).join(QChar::LineSeparator);
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view);
    }
};

} // namespace

PictureButton::PictureButton(int arrows, bool pointsLeft, QWidget *parent)
    : QWidget(parent), m_arrows(arrows), m_pointsLeft(pointsLeft)
{
    setFixedSize(px(PictureSize), px(PictureSize));
    setAttribute(Qt::WA_Hover);
}

void PictureButton::DrawUp()
{
    m_frame = Frame::Up;
    update();
}

void PictureButton::DrawDown()
{
    m_frame = Frame::Down;
    update();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The arrow image: one or two filled triangles side by side.
    const double h = height() * 0.5;
    const double w = width() * (m_arrows == 1 ? 0.35 : 0.3);
    const double top = (height() - h) / 2;
    double left = (width() - w * m_arrows) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::WindowText));
    for (int i = 0; i < m_arrows; ++i, left += w) {
        QPainterPath arrow;
        const double tip = m_pointsLeft ? left : left + w;
        const double base = m_pointsLeft ? left + w : left;
        arrow.moveTo(tip, top + h / 2);
        arrow.lineTo(base, top);
        arrow.lineTo(base, top + h);
        arrow.closeSubpath();
        painter.drawPath(arrow);
    }
    if (m_frame == Frame::None)
        return;
    // The frame lies 20 twips inside the box: light top and left edges with
    // shadowed bottom and right ones when raised, the colours swapped when
    // sunken.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int inset = std::max(1, px(20));
    const QRect box = rect().adjusted(inset, inset, -inset - 1, -inset - 1);
    const QColor light = Qt::white;
    const QColor shadow = palette().color(QPalette::Dark);
    const bool up = m_frame == Frame::Up;
    painter.setPen(up ? light : shadow);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(up ? shadow : light);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
}

void PictureButton::enterEvent(QEnterEvent *)
{
    DrawUp();
}

void PictureButton::leaveEvent(QEvent *)
{
    m_frame = Frame::None;
    update();
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    DrawDown();
    emit pressed();
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (rect().contains(event->position().toPoint()))
        DrawUp();
    else
        leaveEvent(nullptr);
}

frmCalendar::frmCalendar(SessionState &state, CalendarHost host, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_host(std::move(host))
{
    setObjectName(QStringLiteral("frmCalendar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(px(MinimumWidthTwips), px(MinimumHeightTwips));

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblYearMonth"));
    m_label->setAlignment(Qt::AlignCenter);
    QFont big = m_label->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_label->setFont(big);
    m_label->installEventFilter(this);

    const std::array<std::pair<int, bool>, 4> pictures = {{{2, true}, {1, true}, {1, false}, {2, false}}};
    const std::array<MonthStep, 4> steps = {MonthStep::YearBack, MonthStep::MonthBack,
                                            MonthStep::MonthForward, MonthStep::YearForward};
    for (size_t i = 0; i < m_steps.size(); ++i) {
        m_steps[i] = new PictureButton(pictures[i].first, pictures[i].second, this);
        m_steps[i]->setObjectName(QStringLiteral("picBtn%1").arg(i + 1));
        connect(m_steps[i], &PictureButton::pressed, this, [this, s = steps[i]] { step(s); });
    }

    m_today = new QPushButton(QStringLiteral("今  日"), this);
    m_today->setObjectName(QStringLiteral("Command5"));
    connect(m_today, &QPushButton::clicked, this, &frmCalendar::goToToday);
    m_close = new QPushButton(QStringLiteral("表示切替"), this);
    m_close->setObjectName(QStringLiteral("Command6"));
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    m_print = new QPushButton(QStringLiteral("印刷"), this);
    m_print->setObjectName(QStringLiteral("cmdPrint"));
    m_print->setToolTip(QStringLiteral("表示中の月を印刷します"));
    // Ctrl+P as in the main window; here it prints the month on screen.
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_print, &QPushButton::clicked, this, [this] {
        if (m_host.print)
            m_host.print(m_shownMonth);
    });

    m_monthGrid = new QTableWidget(MonthRows, MonthColumns, this);
    m_monthGrid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_monthGrid->setToolTip(MonthToolTip);
    m_monthGrid->horizontalHeader()->hide();
    m_monthGrid->verticalHeader()->hide();
    // A small window makes rows lower than a line of text; they still
    // share the grid exactly.
    m_monthGrid->horizontalHeader()->setMinimumSectionSize(1);
    m_monthGrid->verticalHeader()->setMinimumSectionSize(1);
    m_monthGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_monthGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_monthGrid->setWordWrap(false);
    m_monthGrid->setTextElideMode(Qt::ElideNone);
    m_monthGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_monthGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_monthGrid->setItemDelegate(new DayCellDelegate(m_monthGrid));
    // Tab leaves the grid for the day list; the arrows move between days.
    m_monthGrid->setTabKeyNavigation(false);
    m_monthGrid->installEventFilter(this);
    connect(m_monthGrid, &QTableWidget::currentCellChanged, this, [this] { MSFlexGrid1_Click(); });
    connect(m_monthGrid, &QTableWidget::cellClicked, this, [this] { MSFlexGrid1_Click(); });
    connect(m_monthGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        // A cell outside the month (or the name row) adds nothing.
        if (row >= 1 && m_month.cell({column, row}).day != 0)
            addOnDay();
    });

    m_dayGrid = new QTableWidget(this);
    m_dayGrid->setObjectName(QStringLiteral("MSFlexGrid2"));
    m_dayGrid->verticalHeader()->hide();
    m_dayGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dayGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dayGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line a row, cut at the column's edge, as in the main list.
    m_dayGrid->setWordWrap(false);
    m_dayGrid->setTextElideMode(Qt::ElideNone);
    m_dayGrid->setTabKeyNavigation(false);
    m_dayGrid->installEventFilter(this);
    m_dayGrid->viewport()->installEventFilter(this);
    connect(m_dayGrid, &QTableWidget::cellDoubleClicked, this, [this] { editEntry(); });
    createPopup();

    m_picker = new QCalendarWidget(this);
    m_picker->setObjectName(QStringLiteral("MonthView1"));
    // Month and weekday names in Japanese, as everywhere else in the program.
    m_picker->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    m_picker->hide();
    m_picker->installEventFilter(this);
    connect(m_picker, &QCalendarWidget::clicked, this, &frmCalendar::monthPicked);
    connect(m_picker, &QCalendarWidget::activated, this, &frmCalendar::monthPicked);

    resize(px(FirstWidthTwips), px(FirstHeightTwips));
}

void frmCalendar::Form_Load()
{
    // From now on the calendar starts the main window's commands.
    m_state.CallerView = QStringLiteral("Calendar");
    m_shownMonth = today();
    applyStoredPlace();
    setUpDayList();
    sDisp();
    MSFlexGrid1_Click();
}

void frmCalendar::applyStoredPlace()
{
    const SettingsStore settings;
    const StoredGeometry stored = settings.calendarGeometry();
    if (stored.top) {
        // Restored as saved at close: the frame's corner and the inside's size.
        const QRect place = storedPlace(stored, QRect(pos(), size()), m_host.desktop, minimumSize());
        move(place.topLeft());
        resize(place.size());
    } else if (m_host.mainGeometry.isValid()) {
        setGeometry(m_host.mainGeometry);
    }
    if (settings.calendarWindowState() == WindowShowState::Maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmCalendar::setUpDayList()
{
    // The header follows the model the calendar opened with.
    m_dayList.setFormatString(headerFormatFor(m_state.ModelCode));
    m_dayGrid->setColumnCount(GridColumns);
    QStringList header;
    for (int col = 0; col < GridColumns; ++col)
        header << m_dayList.text(0, col);
    m_dayGrid->setHorizontalHeaderLabels(header);
    for (int col = 0; col < GridColumns; ++col)
        m_dayGrid->setColumnWidth(col, px(m_host.columnWidthsTwips[size_t(col)]));
}

void frmCalendar::sDisp()
{
    // The grids are not painted while they are rewritten and laid out.
    setUpdatesEnabled(false);
    m_month = buildMonth(m_state.ScheduleList, m_shownMonth, today(), m_state.ReferenceDate,
                         m_month.SelectedCell);
    m_state.ReferenceDate = m_month.ReferenceDate;
    m_label->setText(m_month.caption);

    const QSignalBlocker blocker(m_monthGrid);
    m_monthGrid->clearContents();
    for (int row = 0; row < MonthRows; ++row) {
        for (int column = 0; column < MonthColumns; ++column) {
            const MonthCell &cell = m_month.cells[size_t(row)][size_t(column)];
            auto *item = new QTableWidgetItem(shownText(cell.text));
            item->setTextAlignment(row == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
            if (cell.background)
                item->setBackground(colourOf(*cell.background));
            if (cell.foreground)
                item->setForeground(colourOf(*cell.foreground));
            // The names and the cells outside the month are never
            // highlighted, also when an empty cell keeps the selection.
            if (row == 0 || cell.day == 0)
                item->setFlags(Qt::ItemIsEnabled);
            m_monthGrid->setItem(row, column, item);
        }
    }
    layOut();
    m_monthGrid->setCurrentCell(m_month.SelectedCell.row, m_month.SelectedCell.column);
    setUpdatesEnabled(true);
}

void frmCalendar::MSFlexGrid1_Click()
{
    m_picker->hide();
    const GridCell current{m_monthGrid->currentColumn(), m_monthGrid->currentRow()};
    const std::optional<DaySelection> selection = selectCell(m_month, current);
    // Outside the month the list keeps its day, but always as the list
    // stands now.
    m_shown = dayListFor(m_month, m_state.ScheduleList, current, m_shown);
    if (selection) {
        m_month.SelectedCell = selection->cell;
        m_selectedDay = selection->day;
    } else {
        const QSignalBlocker blocker(m_monthGrid);
        m_monthGrid->setCurrentCell(m_month.SelectedCell.row, m_month.SelectedCell.column);
    }

    m_dayList.setDataRows(1);
    m_dayList.clearRow(1, 1);
    m_dayList.setDataRows(std::max<int>(1, int(m_shown.entries.size())));
    for (size_t k = 0; k < m_shown.entries.size(); ++k) {
        const ScheduleEntry &entry = m_state.ScheduleList[m_shown.entries[k] - 1];
        ListGrid::RowTexts cells = m_dayList.rowTexts(int(k) + 1);
        renderRow(entry, cells);
        for (int col = 1; col < GridColumns; ++col)
            m_dayList.setText(int(k) + 1, col, cells[size_t(col)]);
    }
    showDayList();
    if (selection)
        m_state.ReferenceDate = selection->referenceDate;
}

void frmCalendar::showDayList()
{
    m_dayGrid->setRowCount(m_dayList.dataRows());
    for (int row = 1; row <= m_dayList.dataRows(); ++row) {
        for (int col = 0; col < GridColumns; ++col) {
            auto *item = new QTableWidgetItem(m_dayList.text(row, col));
            const bool centred = col == 0 || col == 1 || col == 6 || col == 7;
            item->setTextAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
            m_dayGrid->setItem(row - 1, col, item);
        }
    }
}

void frmCalendar::step(MonthStep s)
{
    m_shownMonth = stepMonth(m_shownMonth, s);
    afterNavigation();
}

void frmCalendar::goToToday()
{
    m_shownMonth = today();
    m_state.ReferenceDate.clear();
    afterNavigation();
}

void frmCalendar::afterNavigation()
{
    m_picker->hide();
    sDisp();
    MSFlexGrid1_Click();
    m_monthGrid->setFocus();
}

void frmCalendar::showMonthPicker()
{
    m_picker->move(m_label->x() - px(500), m_label->y() + px(250));
    const QDate reference = QDate::fromString(m_state.ReferenceDate.left(8), u"yyyyMMdd");
    m_picker->setSelectedDate(reference.isValid() ? reference : m_shownMonth);
    m_picker->adjustSize();
    m_picker->raise();
    m_picker->show();
    m_picker->setFocus();
}

void frmCalendar::monthPicked(QDate date)
{
    m_shownMonth = date;
    m_state.ReferenceDate = date.toString(u"yyyyMMdd");
    afterNavigation();
}

void frmCalendar::layOut()
{
    const double W = twips(width());
    const double H = twips(height());
    const double labelLeft = W / 2 - 700;
    m_label->setGeometry(px(labelLeft), px(TopRowTwips - 30), px(1400), px(PictureSize + 60));
    const std::array<double, 4> stepLefts = {labelLeft - 600, labelLeft - 300, labelLeft + 1400,
                                             labelLeft + 1700};
    for (size_t i = 0; i < m_steps.size(); ++i)
        m_steps[i]->move(px(stepLefts[i]), px(TopRowTwips));
    m_today->setGeometry(px(GridLeft), px(TopRowTwips - 30), px(1000), px(PictureSize + 60));
    m_close->setGeometry(px(W - 1200), px(TopRowTwips - 30), px(1000), px(PictureSize + 60));
    m_print->setGeometry(px(W - 2000), px(TopRowTwips - 30), px(700), px(PictureSize + 60));

    m_monthGrid->setGeometry(px(GridLeft), px(MonthGridTop), px(W - 450), px(H - 3500));
    // The columns and the week rows share the grid's inside to the pixel,
    // so no strip is left after Saturday or under the last week.
    const QRect inside = m_monthGrid->contentsRect();
    const std::vector<int> widths = splitEvenly(inside.width(), MonthColumns);
    for (int column = 0; column < MonthColumns; ++column)
        m_monthGrid->setColumnWidth(column, widths[size_t(column)]);
    const int nameRow = m_monthGrid->fontMetrics().height() + 6;
    m_monthGrid->setRowHeight(0, nameRow);
    const std::vector<int> heights = splitEvenly(std::max(0, inside.height() - nameRow), MonthRows - 1);
    for (int row = 1; row < MonthRows; ++row)
        m_monthGrid->setRowHeight(row, heights[size_t(row - 1)]);

    const int dayTop = m_monthGrid->geometry().bottom() + 1 + px(100);
    m_dayGrid->setGeometry(px(GridLeft), dayTop, px(W - 410), std::max(0, height() - dayTop - px(120)));
}

void frmCalendar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!isMinimized())
        layOut();
}

void frmCalendar::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layOut();
}

bool frmCalendar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_label) {
            showMonthPicker();
            return true;
        }
        if (watched == m_dayGrid->viewport()) {
            m_picker->hide();
            // A right press selects the row under the pointer.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                const int row = m_dayGrid->rowAt(mouse->position().toPoint().y());
                if (row >= 0)
                    m_dayGrid->selectRow(row);
                return true;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == m_dayGrid->viewport()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            if (m_dayGrid->rowAt(mouse->position().toPoint().y()) >= 0)
                showPopup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        // By keyboard as by mouse: Enter on a day adds an entry on it, as a
        // double-click does; Enter on a day-list row edits its entry.
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == m_monthGrid && enter) {
            addOnDay();
            return true;
        }
        if (watched == m_dayGrid && enter) {
            editEntry();
            return true;
        }
        if (watched == m_dayGrid && key == Qt::Key_Delete) {
            deleteEntry();
            return true;
        }
    }
    // The menu key (or Shift+F10) opens the day list's pop-up at its row.
    if (watched == m_dayGrid && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        const int row = std::max(m_dayGrid->currentRow(), 0);
        const QRect cell = m_dayGrid->visualRect(m_dayGrid->model()->index(row, 1));
        showPopup(m_dayGrid->viewport()->mapToGlobal(cell.center()));
        return true;
    }
    if (watched == m_picker && event->type() == QEvent::FocusOut && !m_picker->isAncestorOf(focusWidget()))
        m_picker->hide();
    return QWidget::eventFilter(watched, event);
}

void frmCalendar::createPopup()
{
    m_popup = new QMenu(QStringLiteral("ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ"), this);
    m_popup->setObjectName(QStringLiteral("pmnuEdit"));
    auto item = [this](const char *name, const QString &caption, void (frmCalendar::*command)()) {
        QAction *action = m_popup->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (command)
            connect(action, &QAction::triggered, this, command);
    };
    item("pmnuCancel", QStringLiteral("ｷｬﾝｾﾙ"), nullptr);
    m_popup->addSeparator();
    item("pmnuAdd", QStringLiteral("追加(&A)"), &frmCalendar::addOnDay);
    item("pmnuCopyAdd", QStringLiteral("ｺﾋﾟｰ追加(&B)"), &frmCalendar::copyAddOnDay);
    item("pmnuEditLine", QStringLiteral("編集(&E)"), &frmCalendar::editEntry);
    item("pmnuDEl", QStringLiteral("削除(&D)"), &frmCalendar::deleteEntry);
    m_popup->addSeparator();
    item("pmnuDefault", QStringLiteral("既定値として登録(&F)"), &frmCalendar::setDefaults);
    item("pmnuDefClear", QStringLiteral("既定値をｸﾘｱ(&G)"), &frmCalendar::clearDefaults);
}

void frmCalendar::mirrorAttributeMenus(int entry)
{
    for (QMenu *menu : m_attributeMenus)
        delete menu;
    m_attributeMenus.clear();
    if (entry == 0 || !m_host.attributeMenus)
        return;
    // The category menu keeps the main pop-up's caption ("ｶﾃｺﾞﾘ(&H)" or
    // "ｽﾀﾝﾌﾟ(&H)" by model); the others have this window's own.
    static const std::array<const char16_t *, 6> captions = {
        nullptr, u"ｼｰｸﾚｯﾄ(&S)", u"優先度(&Y)", u"日付色(&C)", u"自動消去保護(&P)", u"待受画面(&W)"};
    const std::vector<QMenu *> sources = m_host.attributeMenus(entry);
    for (size_t i = 0; i < sources.size() && i < captions.size(); ++i) {
        QMenu *source = sources[i];
        auto *menu = new QMenu(captions[i] ? QString::fromUtf16(captions[i]) : source->title(), m_popup);
        menu->setObjectName(source->objectName());
        menu->menuAction()->setEnabled(source->menuAction()->isEnabled());
        for (QAction *item : source->actions()) {
            if (item->isSeparator()) {
                menu->addSeparator();
                continue;
            }
            QAction *mirror = menu->addAction(item->text());
            mirror->setObjectName(item->objectName());
            mirror->setVisible(item->isVisible());
            mirror->setEnabled(item->isEnabled());
            mirror->setCheckable(item->isCheckable());
            mirror->setChecked(item->isChecked());
            connect(mirror, &QAction::triggered, this, [this, item] {
                item->trigger();
                rebuild();
            });
        }
        m_popup->addMenu(menu);
        m_attributeMenus.push_back(menu);
    }
}

void frmCalendar::showPopup(const QPoint &at)
{
    mirrorAttributeMenus(selectedEntry());
    popupMenu(m_popup, at);
}

int frmCalendar::currentDay() const
{
    const int row = m_monthGrid->currentRow();
    const int column = m_monthGrid->currentColumn();
    if (row < 1 || column < 0)
        return 0;
    return m_month.cell({column, row}).day;
}

int frmCalendar::selectedEntry() const
{
    const int row = m_dayGrid->currentRow();
    return row >= 0 && size_t(row) < m_shown.entries.size() ? m_shown.entries[size_t(row)] : 0;
}

void frmCalendar::prepareReference(int day)
{
    m_month.SelectedCell = {m_monthGrid->currentColumn(), m_monthGrid->currentRow()};
    m_state.ReferenceDate = referenceDateOf(m_shownMonth, day);
    m_state.ReferenceDateTime = referenceDateTimeOf(m_shownMonth, day, QTime::currentTime());
}

void frmCalendar::rebuild()
{
    sDisp();
    MSFlexGrid1_Click();
    m_monthGrid->setFocus();
}

void frmCalendar::addOnDay()
{
    const int day = currentDay();
    if (day == 0 || !m_host.add)
        return;
    prepareReference(day);
    m_host.add();
    rebuild();
}

void frmCalendar::copyAddOnDay()
{
    const int day = currentDay();
    const int entry = selectedEntry();
    if (day == 0 || entry == 0 || !m_host.copyAdd)
        return;
    prepareReference(day);
    m_state.ReferenceRow = entry;
    m_host.copyAdd();
    rebuild();
}

void frmCalendar::editEntry()
{
    const int entry = selectedEntry();
    if (currentDay() == 0 || entry == 0 || !m_host.edit)
        return;
    const int row = m_dayGrid->currentRow();
    const int column = std::max(0, m_dayGrid->currentColumn());
    const int top = m_dayGrid->rowAt(0);
    m_state.ReferenceRow = entry;
    m_host.edit(entry);
    rebuild();
    if (row < m_dayGrid->rowCount()) {
        m_dayGrid->setCurrentCell(row, column);
        m_dayGrid->selectRow(row);
        if (top >= 0)
            m_dayGrid->scrollToItem(m_dayGrid->item(top, 0), QAbstractItemView::PositionAtTop);
    }
}

void frmCalendar::deleteEntry()
{
    const int entry = selectedEntry();
    if (m_state.ScheduleList.isEmpty() || entry == 0 || !m_host.deleteEntry)
        return;
    m_host.deleteEntry(entry);
    rebuild();
}

void frmCalendar::setDefaults()
{
    const int entry = selectedEntry();
    if (entry == 0 || !m_host.setDefaults)
        return;
    m_host.setDefaults(entry);
}

void frmCalendar::clearDefaults()
{
    if (m_host.clearDefaults)
        m_host.clearDefaults();
}

void frmCalendar::closeEvent(QCloseEvent *event)
{
    m_state.ReferenceDate.clear();
    m_state.ReferenceDateTime.clear();
    m_state.ReferenceRow = 1;
    const WindowShowState shown = isMinimized() ? WindowShowState::Minimised
        : isMaximized()                         ? WindowShowState::Maximised
                                                : WindowShowState::Normal;
    // The frame's corner and the inside's size, as the place is restored.
    SettingsStore().saveCalendarSettings(shown, WindowGeometry{twips(x()), twips(y()), twips(width()), twips(height()), 0, 0});
    m_state.CallerView = QStringLiteral("Main");
    if (m_host.returnToList)
        m_host.returnToList();
    event->accept();
}

} // namespace skedra::calendar
