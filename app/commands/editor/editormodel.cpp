#include "editormodel.h"

#include "categories.h"
#include "gridrender.h"
#include "menutable.h"
#include "newentry.h"
#include "sjis.h"
#include "soundcatalogue.h"

#include <QtGlobal>

#include <array>

namespace skedra {

namespace {

const std::array<QString, 7> WeekdayCodes = {
    QStringLiteral("SU"), QStringLiteral("MO"), QStringLiteral("TU"), QStringLiteral("WE"),
    QStringLiteral("TH"), QStringLiteral("FR"), QStringLiteral("SA"),
};

// cmbDateColor entries 0 to 6 and the value each stores.
const std::array<QString, 7> DateColourNames = {
    QStringLiteral("未設定"), QStringLiteral("ﾌﾞﾗｯｸ"), QStringLiteral("ﾌﾞﾙｰ"), QStringLiteral("ﾚｯﾄﾞ"),
    QStringLiteral("ﾊﾟｰﾌﾟﾙ"), QStringLiteral("ﾋﾟﾝｸ"), QStringLiteral("ｸﾞﾘｰﾝ"),
};
const std::array<QString, 7> DateColourValues = {
    QString(), QStringLiteral("BLACK"), QStringLiteral("BLUE"), QStringLiteral("RED"),
    QStringLiteral("PURPLE"), QStringLiteral("PINK"), QStringLiteral("GREEN"),
};

constexpr int SummaryHistoryShown = 200;
constexpr int MaxLoop = 99;
constexpr int LampPatternsListed = 5;
constexpr int SmafLampPattern = 5;

QDate dateOf14(const QString &value)
{
    return QDate::fromString(value.left(8), QStringLiteral("yyyyMMdd"));
}

QTime timeOf14(const QString &value)
{
    return QTime::fromString(value.mid(8, 6), QStringLiteral("HHmmss"));
}

// The count of a repeat rule part ("#3" gives 3); 0 when there is none.
int countOf(QString part)
{
    part.remove(QLatin1Char('#'));
    bool ok = false;
    const int n = part.toInt(&ok);
    return ok ? n : 0;
}

Pair pairOf(const QString &value, const char *on, const char *off)
{
    if (value == QLatin1String(on))
        return Pair::On;
    if (value == QLatin1String(off))
        return Pair::Off;
    return Pair::None;
}

} // namespace

QString dateTime14(const QDate &date, const QTime &time)
{
    return ZeroPad(date.year(), 4) + ZeroPad(date.month(), 2) + ZeroPad(date.day(), 2)
        + ZeroPad(time.hour(), 2) + ZeroPad(time.minute(), 2) + QStringLiteral("00");
}

void setName(ScheduleEntry &e, int position, const char *name)
{
    e[nameSlot(position)] = QLatin1String(name);
}

EditorProfile editorProfile(const QString &modelCode)
{
    const ModelProfile &model = modelProfileOrDefault(modelCode);
    EditorProfile p;
    p.kind = model.editor();
    p.modelCode = model.code;
    p.highestCategoryEntry = model.highestCategoryCode;
    p.stamps = model.isV();
    p.handsetOptions = model.isV();
    p.picture = model.isV();
    p.smafLampPattern = model.isV() && model.code != QLatin1String("601SH");
    p.smafSmallLampPattern = p.smafLampPattern || !model.isV();
    p.allSoundFolders = model.isV() && model.code != QLatin1String("601SH");

    p.alarmExtras = model.isV();
    p.soundFolders = model.isV();
    p.fillsEmptyMelody = model.isV();
    p.alarmOffClearsTel = !model.isV();
    p.lampColourOffset = model.code == QLatin1String("SH52") ? 1 : 0;
    p.lampLocked = !model.lampProperty;
    p.smafLampOption = model.code == QLatin1String("SH52");
    return p;
}

QString weekdayCode(int weekday)
{
    if (weekday < 1 || weekday > 7)
        return QString();
    return WeekdayCodes[static_cast<size_t>(weekday - 1)];
}

int weekdayNumber(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;  // Qt: Monday 1 ... Sunday 7
}

QString crlfLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

bool telephoneAccepted(const QString &text)
{
    if (text.isEmpty())
        return true;
    QString rest = text;
    rest.remove(QLatin1Char('*')).remove(QLatin1Char('#')).remove(QLatin1Char('-'));
    if (rest.startsWith(QLatin1Char('+')))
        rest.remove(0, 1);
    if (rest.isEmpty())
        return false;
    for (const QChar c : rest) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

EditorModel::EditorModel(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                         const SoundCatalogue &catalogue, std::function<QDate()> today)
    : m_state(state)
    , m_grid(grid)
    , m_dialogs(dialogs)
    , m_hooks(hooks)
    , m_catalogue(catalogue)
    , m_today(std::move(today))
    , m_profile(editorProfile(state.ModelCode))
{
}

int EditorModel::loopCount() const
{
    bool ok = false;
    const int n = form.loop.toInt(&ok);
    return ok && n > 0 ? n : 0;
}

bool EditorModel::telephoneStored() const
{
    return form.alarm.alarm == Pair::On || !m_profile.alarmOffClearsTel;
}

bool EditorModel::loadedWithoutEnd() const
{
    return m_state.WorkEntry[DtEndValue].isEmpty();
}

// ---- Loading ----

namespace {

// The form as just opened, keeping the lists `filled` already holds.
EditorForm freshForm(const EditorForm &filled)
{
    EditorForm f;
    if (!filled.listsFilled)
        return f;
    f.listsFilled = true;
    f.summaryHistory.items = filled.summaryHistory.items;
    f.categories.items = filled.categories.items;
    f.priority.items = filled.priority.items;
    f.dateColour.items = filled.dateColour.items;
    f.alarm.melodies = filled.alarm.melodies;
    f.alarm.lampPatterns = filled.alarm.lampPatterns;
    f.alarm.smallLampPatterns = filled.alarm.smallLampPatterns;
    f.alarm.lampColours = filled.alarm.lampColours;
    return f;
}

} // namespace

// Every control starts from its state on a form just opened, so a load by
// Next or Back shows and stores what opening the entry does; only the
// lists stay. The groups are then set as stored and the repeat refresh
// runs last, which leaves the form as the click handlers of the loaded
// options would; the weekday option is shown as stored without moving
// the start.
void EditorModel::Form_Load()
{
    ++m_handlerCalls;
    form = freshForm(form);
    if (!form.listsFilled)
        fillLists();
    loadDates();
    loadGeneral();
    loadAlarm();
    if (m_profile.picture)
        loadPicture();
    refreshRepeat();
}

void EditorModel::fillLists()
{
    form.listsFilled = true;
    form.categories.items.clear();
    for (int code = 0; code <= m_profile.highestCategoryEntry; ++code)
        form.categories.items.append(categories::name(code));

    AlarmFields &alarm = form.alarm;
    alarm.melodies.clear();
    for (const QString &name : m_catalogue.MelodyNames())
        alarm.melodies.append(name);
    alarm.lampPatterns.clear();
    for (int i = 0; i < LampPatternsListed; ++i)
        alarm.lampPatterns.append(m_catalogue.lampPatternName(i));
    alarm.smallLampPatterns = alarm.lampPatterns;
    if (m_profile.smafLampPattern)
        alarm.lampPatterns.append(QStringLiteral("SMAF連動"));
    if (m_profile.smafSmallLampPattern)
        alarm.smallLampPatterns.append(QStringLiteral("SMAF連動"));
    alarm.lampColours = m_catalogue.lampColourList();

    form.summaryHistory.items.clear();
    for (int i = 0; i < SummaryHistoryShown; ++i) {
        const QString &text = m_state.SummaryHistory[static_cast<size_t>(i)];
        if (text.isEmpty())
            break;
        form.summaryHistory.items.append(text);
    }
    form.priority.items = {QStringLiteral("未設定"), QStringLiteral("高"), QStringLiteral("低")};
    form.dateColour.items.clear();
    for (const QString &name : DateColourNames)
        form.dateColour.items.append(name);
}

void EditorModel::loadDates()
{
    const ScheduleEntry &w = m_state.WorkEntry;

    // Repeat type, count and weekday from the rule.
    Repeat repeat = Repeat::None;
    QString code;
    int count = 0;
    const QString &rule = w[RRuleValue];
    if (!rule.isEmpty()) {
        const QStringList parts = rule.split(QLatin1Char(' '));
        switch (parts.first().isEmpty() ? 0 : parts.first().front().unicode()) {
        case 'D':
            repeat = Repeat::Day;
            count = countOf(parts.value(1));
            break;
        case 'W':
            repeat = Repeat::Week;
            code = parts.value(1);
            count = countOf(parts.value(2));
            break;
        case 'M':
            repeat = Repeat::Month;
            count = countOf(parts.value(2));
            break;
        default:
            break;
        }
    } else {
        repeat = w[YearlyValue].isEmpty() ? Repeat::Only : Repeat::Year;
    }

    // Kind. An entry without a known component is taken by its start's name,
    // as the writer does.
    Kind kind = Kind::Event;
    if (w[ComponentName] == QLatin1String("VTODO")
        || (w[ComponentName] != QLatin1String("VEVENT") && w[DtStartName] == QLatin1String("DUE")))
        kind = Kind::Todo;
    optEvent_Click(kind);

    form.repeat = repeat;

    // Start; a start that cannot be read shows today at 0:00.
    const QDate start = dateOf14(w[DtStartValue]);
    const QTime startTime = timeOf14(w[DtStartValue]);
    form.frDate = start.isValid() ? start : m_today();
    form.frTime = startTime.isValid() ? startTime : QTime(0, 0);

    // End: without one both end pickers hold the start and are emptied.
    const QDate end = dateOf14(w[DtEndValue]);
    const QTime endTime = timeOf14(w[DtEndValue]);
    form.toDate = {end.isValid() ? end : form.frDate, w[DtEndValue].isEmpty()};
    form.toTime = {endTime.isValid() ? endTime : form.frTime, w[DtEndValue].isEmpty()};

    // The weekday option is shown as stored; loading does not move the start.
    form.weekday = NoWeekday;
    for (int d = 1; d <= 7; ++d) {
        if (code == weekdayCode(d))
            form.weekday = d;
    }
    form.loop = QString::number(count);
}

void EditorModel::loadGeneral()
{
    const ScheduleEntry &w = m_state.WorkEntry;
    form.secret = pairOf(w[ClassValue], "PRIVATE", "PUBLIC");
    form.status = w[StatusValue] == QLatin1String("NEEDS ACTION") ? TaskStatus::Needs
        : w[StatusValue] == QLatin1String("COMPLETED")            ? TaskStatus::Comp
                                                                  : TaskStatus::None;

    // Category, then a stamp the model offers overrides it.
    int category = categories::codeOfCategoriesValue(w[CategoriesValue]).value_or(0);
    if (m_profile.stamps && !w[ShCategoriesName].isEmpty()) {
        bool ok = false;
        const int stamp = w[ShCategoriesValue].toInt(&ok);
        const int highestStamp = m_profile.highestCategoryEntry - (categories::FirstStampCode - 1);
        category = ok && stamp >= 1 && stamp <= highestStamp ? stamp + categories::LastCategoryCode : 0;
    }
    form.categories.index = category;

    const QString &priority = w[PriorityValue];
    form.priority.index = priority == QLatin1String("1") ? 1 : priority == QLatin1String("2") ? 2 : 0;

    form.summary = w[SummaryValue];
    form.description = w[DescriptionValue];

    form.autoDelete = pairOf(w[NoAutoDelValue], "ON", "OFF");
    form.standby = pairOf(w[NoDispDefWinValue], "ON", "OFF");
    form.dateColour.index = -1;
    for (size_t i = 0; i < DateColourValues.size(); ++i) {
        if (w[CalColorValue] == DateColourValues[i])
            form.dateColour.index = static_cast<int>(i);
    }
}

void EditorModel::txtDescription_Change(const QString &text)
{
    ++m_handlerCalls;
    form.description = crlfLineBreaks(text);
}

// ---- Dates and repeat ----

void EditorModel::optEvent_Click(Kind kind)
{
    ++m_handlerCalls;
    form.kind = kind;
    if (kind == Kind::Event) {
        form.lblStart = QStringLiteral("開始");
        form.lblEnd = QStringLiteral("～　終了");
    } else if (kind == Kind::Todo) {
        form.lblStart = QStringLiteral("期限");
        form.lblEnd = QStringLiteral("～　完了");
    }
}

void EditorModel::selectRepeat(Repeat repeat)
{
    ++m_handlerCalls;
    form.repeat = repeat;
    switch (repeat) {
    case Repeat::Only:
        refreshRepeat();
        break;
    case Repeat::Day:
    case Repeat::Month:
    case Repeat::Year:
        refreshRepeat();
        countRule();
        endKeeping();
        break;
    case Repeat::Week:
        refreshRepeat();
        selectWeekday(weekdayNumber(form.frDate));
        endKeeping();
        break;
    case Repeat::None:
        break;
    }
}

void EditorModel::refreshRepeat()
{
    countRule();
    const Repeat r = form.repeat;
    form.toDateEnabled = r == Repeat::Only || r == Repeat::None;
    form.weekdaysEnabled = r == Repeat::Week;
    form.loopEnabled = r == Repeat::Day || r == Repeat::Week || r == Repeat::Month;
    if (r != Repeat::Week)
        form.weekday = NoWeekday;
    if (r == Repeat::Only || r == Repeat::Year)
        setLoop(QStringLiteral("0"));
    if (r == Repeat::Only && loadedWithoutEnd()) {
        form.toDate = {form.frDate, true};
        form.toTime = {form.frTime, true};
    }
}

void EditorModel::endKeeping()
{
    if (!loadedWithoutEnd())
        return;
    setLoop(QStringLiteral("0"));
    form.toDate.empty = true;
    form.toTime.empty = true;
}

void EditorModel::setLoop(const QString &text)
{
    // Like a text box, the change handler runs only when the text changes.
    if (form.loop == text)
        return;
    form.loop = text;
    countRule();
}

void EditorModel::txtLoop_Change(const QString &text)
{
    ++m_handlerCalls;
    form.loop = text;
    countRule();
}

void EditorModel::countRule()
{
    // Empty or not a number reads as 0, above 99 as 99; the text shows the
    // number the rule uses.
    bool ok = false;
    const int typed = form.loop.toInt(&ok);
    const int n = !ok || typed < 0 ? 0 : qMin(typed, MaxLoop);
    form.loop = QString::number(n);
    applyEndForCount(true);
    statusRule();
}

// The end date of a repeat is its last occurrence; 0 (no limit) gives the
// start date, emptied when `emptyWhenUnlimited` and the end time is empty.
void EditorModel::applyEndForCount(bool emptyWhenUnlimited)
{
    const int n = loopCount();
    const QDate s = form.frDate;
    QDate last;
    switch (form.repeat) {
    case Repeat::Day: last = s.addDays(qMax(n - 1, 0)); break;
    case Repeat::Week: last = s.addDays(7LL * qMax(n - 1, 0)); break;
    case Repeat::Month: last = s.addMonths(qMax(n - 1, 0)); break;
    default: return;
    }
    form.toDate = {last, false};
    if (n == 0 && emptyWhenUnlimited && form.toTime.empty)
        form.toDate.empty = true;
}

void EditorModel::statusRule()
{
    const QDate today = m_today();
    const QDate last = form.toDate.empty ? form.frDate : form.toDate.value;
    form.status = last < today ? TaskStatus::Comp : TaskStatus::Needs;
    // Neither a yearly entry nor one that repeats without end (count 0)
    // is ever past.
    const bool repeats = form.repeat == Repeat::Day || form.repeat == Repeat::Week
        || form.repeat == Repeat::Month;
    if (form.repeat == Repeat::Year || (repeats && loopCount() == 0))
        form.status = TaskStatus::Needs;
}

void EditorModel::selectWeekday(int weekday)
{
    ++m_handlerCalls;
    form.weekday = weekday;
    moveToWeekday();
}

void EditorModel::moveToWeekday()
{
    // The start moves within its Sunday-to-Saturday week; the alarm
    // follows only a start that really moved.
    const QDate before = form.frDate;
    form.frDate = form.frDate.addDays(form.weekday - weekdayNumber(form.frDate));
    countRule();
    if (form.frDate != before)
        alarmFollowsStart();
}

void EditorModel::dtpFrDate_Change(const QDate &date)
{
    ++m_handlerCalls;
    const bool moved = date != form.frDate;
    form.frDate = date;
    startDateRule();
    if (moved)
        alarmFollowsStart();
}

void EditorModel::dtpFrTime_Change(const QTime &time)
{
    ++m_handlerCalls;
    if (time == form.frTime)
        return;
    form.frTime = time;
    alarmFollowsStart();
}

void EditorModel::startDateRule()
{
    switch (form.repeat) {
    case Repeat::Only:
        if (!form.toDate.empty && form.frDate > form.toDate.value)
            form.toDate.value = form.frDate;
        break;
    case Repeat::Day:
    case Repeat::Month:
        applyEndForCount(false);
        break;
    case Repeat::Week:
        applyEndForCount(false);
        selectWeekday(weekdayNumber(form.frDate));
        break;
    case Repeat::Year:
        form.toDate = {form.frDate, false};
        form.status = TaskStatus::Needs;
        break;
    case Repeat::None:
        break;
    }
    if (form.repeat != Repeat::Year && form.repeat != Repeat::None)
        statusRule();
}

void EditorModel::dtpToDate_Change(const DatePicker &picker)
{
    ++m_handlerCalls;
    const bool wasEmpty = form.toDate.empty;
    form.toDate = picker;
    startDateRule();
    if (form.toDate.empty)
        form.toTime.empty = true;
    else if (wasEmpty || form.toTime.empty)
        form.toTime = {form.frTime, false};  // an end that was set keeps its time
}

void EditorModel::dtpToTime_Change(const TimePicker &picker)
{
    ++m_handlerCalls;
    form.toTime = picker;
    if (picker.empty && loopCount() == 0)
        form.toDate.empty = true;
    if (!picker.empty && form.toDate.empty)
        form.toDate = {form.frDate, false};
}

void EditorModel::TabStrip1_Click(int index)
{
    ++m_handlerCalls;
    if (index != form.CurrentTab)
        form.CurrentTab = index;
}

// ---- Store ----

bool EditorModel::refuse(const QString &text, const QString &control)
{
    m_dialogs.error(text);
    form.focus = control;
    form.StoreFailed = true;
    return false;
}

bool EditorModel::SaveFields()
{
    form.StoreFailed = false;
    form.focus.clear();
    if (form.summary.isEmpty())
        return refuse(QStringLiteral("件名を入力して下さい。　　　"), QStringLiteral("txtSummary"));
    // Only a number that will be stored is checked.
    if (telephoneStored() && !telephoneAccepted(form.alarm.tel))
        return refuse(QStringLiteral("不正な電話番号です。　　　"), QStringLiteral("txtArTel"));
    if (!checkAlarm())
        return false;
    if (form.picture.attached == Pair::On && form.picture.file.isEmpty())
        optPic_Click(Pair::Off);

    const int index = m_state.EditIndex - 1;
    if (index < 0 || index >= MaxEntries) {
        qWarning("entry editor: EditIndex %d is outside the table", m_state.EditIndex);
        form.StoreFailed = true;
        return false;
    }
    std::optional<ListHistory::Step> step;
    recordStore(step);
    ScheduleEntry &e = m_state.ScheduleList[index];
    e = m_state.WorkEntry;  // what the form does not edit survives
    storeDates(e);
    storeGeneral(e);
    storeRepeat(e);
    storeAlarm(e);
    m_state.markDirty();
    return true;
}

void EditorModel::storeDates(ScheduleEntry &e) const
{
    const bool event = form.kind != Kind::Todo;
    e[ComponentName] = event ? QStringLiteral("VEVENT") : QStringLiteral("VTODO");
    e[DtStartName] = event ? QStringLiteral("DTSTART") : QStringLiteral("DUE");
    e[DtStartValue] = dateTime14(form.frDate, form.frTime);
    e[DtEndName] = event ? QStringLiteral("DTEND") : QStringLiteral("COMPLETED");
    // An end date whose time was emptied ends at the start time.
    e[DtEndValue] = form.toDate.empty
        ? QString()
        : dateTime14(form.toDate.value, form.toTime.empty ? form.frTime : form.toTime.value);
}

void EditorModel::storeRepeat(ScheduleEntry &e) const
{
    setName(e, RRule, "RRULE");
    setName(e, Yearly, "X-JPGSH-YEARLY");
    const QString &start = e[DtStartValue];
    QString rule;
    QString yearly;
    switch (form.repeat) {
    case Repeat::Only:
        break;
    case Repeat::Day:
        rule = QStringLiteral("D1 #") + form.loop;
        break;
    case Repeat::Week: {
        // A rule loaded with a weekday code of no day repeats on the start's.
        const int day = form.weekday != NoWeekday ? form.weekday : weekdayNumber(form.frDate);
        rule = QStringLiteral("W1 ") + weekdayCode(day) + QStringLiteral(" #") + form.loop;
        break;
    }
    case Repeat::Month:
        rule = QStringLiteral("MP1 ") + start.mid(6, 2) + QStringLiteral(" #") + form.loop;
        break;
    case Repeat::Year:
        yearly = start.mid(4, 4);
        break;
    case Repeat::None:
        return;  // a rule the form cannot show stays as it was
    }
    e[RRuleValue] = rule;
    e[YearlyValue] = yearly;
}

void EditorModel::storeGeneral(ScheduleEntry &e) const
{
    setName(e, Summary, "SUMMARY");
    e[SummaryValue] = form.summary;
    setName(e, Description, "DESCRIPTION");
    e[DescriptionParams] = QpParameters;
    e[DescriptionValue] = form.description.isEmpty() ? form.summary : form.description;
    setName(e, Class, "CLASS");
    e[ClassValue] = form.secret == Pair::On ? QStringLiteral("PRIVATE") : QStringLiteral("PUBLIC");

    setName(e, Categories, "CATEGORIES");
    const int category = form.categories.index;
    e[CategoriesValue] = categories::categoriesValue(category);
    if (m_profile.stamps) {
        const bool stamp = category >= categories::FirstStampCode;
        e[ShCategoriesName] = stamp ? categories::stampPropertyName() : QString();
        e[ShCategoriesValue] = stamp ? categories::stampValue(category) : QString();
    }

    setName(e, Priority, "PRIORITY");
    e[PriorityValue] = QString::number(qMax(form.priority.index, 0));
    setName(e, Status, "STATUS");
    e[StatusValue] = form.status == TaskStatus::Needs ? QStringLiteral("NEEDS ACTION")
                                                      : QStringLiteral("COMPLETED");
    // The handset expects sender and serial empty once the PC edited an entry.
    setName(e, JpgFrom, "X-JPG-FROM");
    e[JpgFromParams] = QpParameters;
    e[JpgFromValue].clear();
    setName(e, JpgSerial, "X-JPG-SERIAL");
    e[JpgSerialValue].clear();

    if (!m_profile.handsetOptions)
        return;
    setName(e, NoAutoDel, "X-JPGSH-NOAUTODEL");
    e[NoAutoDelValue] = form.autoDelete == Pair::On ? QStringLiteral("ON") : QStringLiteral("OFF");
    setName(e, NoDispDefWin, "X-JPGSH-NODISPDEFWIN");
    e[NoDispDefWinValue] = form.standby == Pair::On ? QStringLiteral("ON") : QStringLiteral("OFF");
    setName(e, CalColor, "X-JPGSH-CALCOLOR");
    const int colour = form.dateColour.index;
    if (colour >= 0 && colour < static_cast<int>(DateColourValues.size()))
        e[CalColorValue] = DateColourValues[static_cast<size_t>(colour)];
    if (m_profile.picture)
        storePicture(e);
}

bool EditorModel::cmdOk_Click()
{
    ++m_handlerCalls;
    form.StoreFailed = false;
    SaveFields();
    return !form.StoreFailed;
}

bool EditorModel::adding() const
{
    return m_state.EditMode == QLatin1String("add") || !m_state.ScheduleList.exists(m_state.EditIndex - 1);
}

QString EditorModel::title() const
{
    return adding() ? QStringLiteral("予定の追加") : QStringLiteral("予定の編集");
}

void EditorModel::recordStore(std::optional<ListHistory::Step> &step)
{
    if (history && !step)
        step.emplace(*history, adding() ? history->addStepName : stepName(u"mnuEditLine"));
}

void EditorModel::storeAndMove(int step)
{
    ++m_handlerCalls;
    {
        // The store and the row it gives the list are one step.
        std::optional<ListHistory::Step> recorded;
        recordStore(recorded);
        if (!SaveFields())
            return;
        if (m_state.EditMode == QLatin1String("add")) {
            // The stored entry becomes a row of the list.
            m_grid.addRow();
            const int last = m_grid.lastRow();
            if (last > m_grid.topRow() + m_grid.fitRows())
                m_grid.setTopRow(last - m_grid.fitRows());
        }
        m_state.EditMode = QStringLiteral("edit");
        Grid_refresh(m_state.ScheduleList, m_grid);
        m_hooks.updateCountPanel();
        m_hooks.gridChanged();
    }

    const int row = m_state.EditIndex + step;
    if (row < 1 || row > MaxEntries || !m_state.ScheduleList[row - 1].exists()
        || row > m_grid.lastRow())
        return;
    m_grid.setRow(row);
    if (row < m_grid.topRow())
        m_grid.setTopRow(row);
    else if (row > m_grid.topRow() + m_grid.fitRows())
        m_grid.setTopRow(m_grid.topRow() + 1);
    m_hooks.gridChanged();
    m_state.EditIndex = row;

    // Prepared as for opening it, so that the entry stores the same either way.
    m_state.WorkEntry = m_state.ScheduleList[row - 1];
    addMissingHandsetProperties(m_state.WorkEntry, m_state.ModelCode);
    Form_Load();
}

} // namespace skedra
