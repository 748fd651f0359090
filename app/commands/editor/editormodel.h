// The entry editor as plain data and rules, without widgets.
//
// EditorForm is everything the dialog shows: which option of each group is
// selected, the list contents and selections, the texts, the enabled flags,
// the current tab. EditorModel carries the rules on it: loading from
// WorkEntry, the click and change handlers of the date and repeat fields,
// the store into entry EditIndex - 1 and walking the list with Next and
// Back. The dialog (frmEditR) only shows the form and passes the user's
// actions to the handlers.
//
// A handler that selects an option runs that option's click handler, as a
// user click does. A picker or text set by a rule does not run its own
// change handler again, so no rule can call itself in a circle; the one
// exception is the repeat count, whose rule settles in one pass.
//
// The alarm group and the picture fields are parts of their own
// (AlarmFields, PictureFields) with load, check and store functions; the
// alarm group's rules are in editoralarm.cpp, the attachments' (picture
// fields, file choosers) in editorattach.cpp.
#pragma once

#include "dialogs.h"
#include "listgrid.h"
#include "listhistory.h"
#include "models.h"
#include "session.h"
#include "settings.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>
#include <functional>
#include <optional>

namespace skedra {

class SoundCatalogue;

// What an editor has and stores, by model: frmEditR for 601SH to 604SH,
// frmEdit for SH51 to SH53 (the older editor describes its differences
// here, it does not copy the rules).
struct EditorProfile {
    EditorKind kind = EditorKind::EditR;
    QString modelCode;
    int highestCategoryEntry = 59;   // cmbCategories holds entries 0 to this
    bool stamps = true;              // entries 7 and above are stamps
    bool handsetOptions = true;      // protection, standby display, date colour
    bool picture = true;             // the picture attachment fields
    bool smafLampPattern = true;     // "SMAF連動" as pattern 5 of cmbRmp1
    bool smafSmallLampPattern = true;  // "SMAF連動" as pattern 5 of cmbRmp3
    bool allSoundFolders = true;     // 601SH offers the music folder only

    // What the older editor (SH51 to SH53) does without or differently.
    bool alarmExtras = true;         // X-JPGSH-ALARM, pre-alarm and snooze are read and stored
    bool soundFolders = true;        // opt_folder(0..2); without them a file is music ("1;")
    bool fillsEmptyMelody = true;    // the ring refresher shows the first melody
    bool alarmOffClearsTel = false;  // the alarm off stores no telephone number
    int lampColourOffset = 0;        // stored colour = cmbRmp2 entry + this (SH52: 1)
    bool lampLocked = false;         // SH51: no lamp to set; its value stays as loaded
    bool smafLampOption = false;     // SH52: optRmpSmall is "SMAF連動", cmbRmp3 hidden
};
EditorProfile editorProfile(const QString &modelCode);

// A picker that can be emptied keeps its value underneath, as a checked
// date picker does: emptying hides the value, setting it shows it again.
struct DatePicker {
    QDate value;
    bool empty = false;
    bool operator==(const DatePicker &) const = default;
};
struct TimePicker {
    QTime value;
    bool empty = false;
    bool operator==(const TimePicker &) const = default;
};

// A drop-down list: its entries and the selected entry (-1: none).
struct ListChoice {
    QStringList items;
    int index = -1;
};

enum class Kind { None, Event, Todo };                       // optEvent / optTodo
enum class Repeat { None, Only, Day, Week, Month, Year };    // optOnly ... optYear
enum class Pair { None, On, Off };                           // an on/off option pair
enum class TaskStatus { None, Needs, Comp };                 // optNeeds / optComp

// Weekday options optSun to optSat are numbers 1 to 7; 0 is none.
constexpr int NoWeekday = 0;
// "SU", "MO", ..., "SA" for weekday numbers 1 to 7; empty otherwise.
QString weekdayCode(int weekday);
// Weekday number (Sunday 1 ... Saturday 7) of a date.
int weekdayNumber(const QDate &date);

enum class Ring { None, Melody, Folder };                    // optRing0 / optRing2
enum class Lamp { None, Mobile, Small, Off };                // optRmpMobile / optRmpSmall / optRmpOff

// The sound folders opt_folder(0) to opt_folder(2).
constexpr int SoundFolderCount = 3;
// cmbPreArarm entries: "分", "時間", "日", "週", "月".
enum PreAlarmUnit : int { NoUnit = -1, Minutes = 0, Hours, Days, Weeks, Months };

// The alarm group. The enabled flags are those of each control's own
// option; the alarm off disables the whole group over them, except the
// telephone number.
struct AlarmFields {
    Pair alarm = Pair::None;    // optArarmOn / optArarmOff
    QDate date;                 // dtpArDate
    QTime time;                 // dtpArTime
    QString message;            // txtArMessage
    QString tel;                // txtArTel

    Ring ring = Ring::None;
    QStringList melodies;       // cmbRing0
    int melody = -1;
    QString ringFile;           // txtRing2
    int folder = -1;            // opt_folder index
    bool melodyEnabled = false;                  // cmbRing0
    bool ringFileEnabled = false;                // txtRing2, btnRing
    std::array<bool, SoundFolderCount> folderEnabled{};

    int volume = -1;            // cmbArmVol entry
    Pair vibration = Pair::None;  // optVivOn / optVivOff
    QString seconds;            // optArmTime text

    Lamp lamp = Lamp::None;
    QStringList lampPatterns;   // cmbRmp1
    QStringList smallLampPatterns;  // cmbRmp3
    QStringList lampColours;    // cmbRmp2
    int largePattern = -1;      // cmbRmp1
    int largeColour = -1;       // cmbRmp2
    int smallPattern = -1;      // cmbRmp3
    bool largeLampEnabled = false;
    bool smallLampEnabled = false;

    Pair preAlarm = Pair::None; // optPreArarmOn / optPreArarmOff
    int preUnit = NoUnit;       // cmbPreArarm
    QString preCount;           // txtPreArarm
    QString preRange;           // Label32
    bool preAlarmEnabled = false;

    Pair snooze = Pair::None;   // optSnoozeOn / optSnoozeOff
    QString snoozeCount;        // txtSnooze
    bool snoozeEnabled = false;

    bool operator==(const AlarmFields &) const = default;
};

// The volume entries of cmbArmVol and the units of cmbPreArarm.
QStringList volumeNames();
QStringList preAlarmUnitNames();
// The spin range of a pre-alarm unit.
struct Range {
    int minimum;
    int maximum;
};
Range preAlarmRange(int unit);

// The picture attachment: optPicOn / optPicOff, txtPic and btnPic, and the
// preview Image1 in Frame1.
struct PictureFields {
    Pair attached = Pair::None;  // optPicOn / optPicOff
    QString file;                // txtPic: a bare file name
    bool enabled = false;        // txtPic and btnPic
    QString preview;             // the file Image1 shows; empty: none
};

// Image1 keeps its laid-out width; its height follows the picture's aspect
// and a portrait picture sits higher in Frame1. All in twips.
struct PreviewPlace {
    int top = 0;
    int height = 0;
    bool operator==(const PreviewPlace &) const = default;
};
constexpr int PreviewTopPortrait = 330;
constexpr int PreviewTopLandscape = 750;
// Nothing to place (height 0) for a picture without size.
PreviewPlace previewPlace(int widthTwips, int pictureWidth, int pictureHeight);

// The characters after the last "." of `path` in upper case; empty when
// there is none or a "/" or a backslash follows it.
QString UpperExtension(const QString &path);

// One open-file dialog of the attachments: title "ファイルを開く".
struct FileChooser {
    QString filter;           // Qt name filter
    AttachmentFolder folder;  // where it opens; the chosen file's folder goes back there
    QString noteLine;         // the second line of the first-use note
};
FileChooser pictureChooser();
// btnRing: by the profile's editor and the selected opt_folder.
FileChooser soundChooser(const EditorProfile &profile, int folder);

// The whole state of the form.
struct EditorForm {
    // Lists filled on the first load only.
    bool listsFilled = false;
    ListChoice summaryHistory;            // txtSummary's drop-down
    ListChoice categories;                // cmbCategories
    ListChoice priority;                  // cmbPriority
    ListChoice dateColour;                // cmbDateColor

    Kind kind = Kind::None;
    QString lblStart, lblEnd;
    QString summary;                      // txtSummary text
    QString description;                  // txtDescription

    QDate frDate;                         // dtpFrDate
    QTime frTime;                         // dtpFrTime
    DatePicker toDate;                    // dtpToDate
    TimePicker toTime;                    // dtpToTime

    Repeat repeat = Repeat::None;
    int weekday = NoWeekday;
    QString loop = QStringLiteral("0");   // txtLoop

    // Enabled state of the repeat group (lblStart, lblEnd, the start
    // pickers and dtpToTime are always enabled).
    bool toDateEnabled = true;
    bool weekdaysEnabled = false;         // Label21 and optSun ... optSat
    bool loopEnabled = false;             // Label22, txtLoop, updLoop, Label23

    Pair secret = Pair::None;             // optSecretOn / optSecretOff
    TaskStatus status = TaskStatus::None; // optNeeds / optComp
    Pair autoDelete = Pair::None;         // optAutoDelOn / optAutoDelOff
    Pair standby = Pair::None;            // optDifpDefOn / optDifpDefOff

    AlarmFields alarm;
    PictureFields picture;

    // The number fields typed in since the load (optArmTime, txtPreArarm,
    // txtSnooze). Their limits apply to what the user typed, on leaving the
    // field or at the latest at the store; a number left as loaded is
    // stored as loaded.
    struct Typed {
        bool seconds = false;
        bool preCount = false;
        bool snoozeCount = false;
    } typed;

    int CurrentTab = 1;                   // 1 alarm page, 2 option page
    bool StoreFailed = false;
    // The control a refused store moved the focus to (objectName).
    QString focus;
};

class EditorModel {
public:
    // `today` gives the date the status rule compares with.
    EditorModel(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                const SoundCatalogue &catalogue, std::function<QDate()> today);

    EditorForm form;
    const EditorProfile &profile() const { return m_profile; }

    // Form_Load: every field from WorkEntry; the lists only the first time.
    void Form_Load();

    // The user's text of txtDescription, its line breaks as CR LF.
    void txtDescription_Change(const QString &text);

    // Click handlers of the option groups.
    void optEvent_Click(Kind kind);          // optEvent and optTodo
    void selectRepeat(Repeat repeat);        // optOnly ... optYear
    void selectWeekday(int weekday);         // optSun ... optSat
    // Change handlers (user changes).
    void txtLoop_Change(const QString &text);
    void dtpFrDate_Change(const QDate &date);
    void dtpFrTime_Change(const QTime &time);
    void dtpToDate_Change(const DatePicker &picker);
    void dtpToTime_Change(const TimePicker &picker);
    // The alarm group's handlers.
    void optArarm_Click(Pair alarm);         // optArarmOn / optArarmOff
    void optRing_Click(Ring ring);           // optRing0 / optRing2
    void opt_folder_Click(int folder);
    void optRmp_Click(Lamp lamp);            // optRmpMobile / optRmpSmall / optRmpOff
    void optPreArarm_Click(Pair on);         // optPreArarmOn / optPreArarmOff
    void cmbPreArarm_Click(int unit);
    void optSnooze_Click(Pair on);           // optSnoozeOn / optSnoozeOff
    // The number fields: typing, then leaving the field.
    void optArmTime_Change(const QString &text);
    void optArmTime_LostFocus();
    void txtPreArarm_Change(const QString &text);
    void txtPreArarm_LostFocus();
    void txtSnooze_Change(const QString &text);
    void txtSnooze_LostFocus();
    void dtpArDate_Change(const QDate &date);
    // The attachments' handlers.
    void optPic_Click(Pair on);              // optPicOn / optPicOff
    // btnPic and btnRing: ask for a file, take its bare name and keep its
    // folder (in memory and in the settings); false when cancelled.
    bool choosePicture();
    bool chooseSoundFile();

    // The ArarmDate entry default: minutes from the start to the alarm.
    qint64 alarmOffsetMinutes = 0;

    // The list's history: each store (OK, Next, Back) is one step of it.
    // Null: stores are not recorded.
    ListHistory *history = nullptr;

    // Whether the form makes a new entry: the editor was opened to add, or
    // the entry it stores into is not in the list yet.
    bool adding() const;
    // The dialog's title: "予定の追加" or "予定の編集".
    QString title() const;

    // TabStrip1 click on tab `index` (1 or 2).
    void TabStrip1_Click(int index);

    // SaveFields: checks, then stores into entry EditIndex - 1 and marks the
    // list changed. False (and StoreFailed) when a check refused.
    bool SaveFields();
    // cmdOk: true when the form closes.
    bool cmdOk_Click();
    // Command6 "Next >>" / Command7 "<< Back": store, then move one entry.
    void Command6_Click() { storeAndMove(+1); }
    void Command7_Click() { storeAndMove(-1); }

    // The count as a number: 0 when empty or not a number.
    int loopCount() const;
    // Whether txtArTel is stored, and so editable and checked: always in
    // frmEditR; in frmEdit only while the alarm is on.
    bool telephoneStored() const;

    // Handler calls since the model was made, those one handler makes of
    // another included. One user action sets off a few; a rule that keeps
    // setting off the next shows here long before the stack runs out.
    long handlerCalls() const { return m_handlerCalls; }

private:
    // The repeat-group rules of the dates.
    void refreshRepeat();                    // the optOnly click handler
    void countRule();
    void endKeeping();
    void startDateRule();
    void statusRule();
    void moveToWeekday();
    void setLoop(const QString &text);
    void applyEndForCount(bool emptyWhenUnlimited);
    bool loadedWithoutEnd() const;

    void loadAlarm();
    void selectFolder(int folder);
    void alarmFollowsStart();
    bool checkAlarm();
    void storeAlarm(ScheduleEntry &entry) const;
    void loadLamp();
    int lampColourEntry(const QString &stored) const;
    void storeLamp(ScheduleEntry &entry) const;
    void loadAlarmExtras();
    void storeAlarmExtras(ScheduleEntry &entry) const;

    void loadPicture();
    void previewPicture();
    void storePicture(ScheduleEntry &entry) const;
    QString chooseFile(const FileChooser &chooser);

    void fillLists();
    void loadDates();
    void loadGeneral();
    void storeDates(ScheduleEntry &entry) const;
    void storeRepeat(ScheduleEntry &entry) const;
    void storeGeneral(ScheduleEntry &entry) const;
    bool refuse(const QString &text, const QString &control);
    void storeAndMove(int step);
    // Begins the step a store is recorded as (when there is a history).
    void recordStore(std::optional<ListHistory::Step> &step);

    SessionState &m_state;
    ListGrid &m_grid;
    Dialogs &m_dialogs;
    WindowHooks &m_hooks;
    const SoundCatalogue &m_catalogue;
    std::function<QDate()> m_today;
    EditorProfile m_profile;
    long m_handlerCalls = 0;
};

// `text` with every line break (CR LF, LF or CR) as CR LF, as vCalendar
// writers write them.
QString crlfLineBreaks(QString text);

// The DateTime14 text of a date and a time, seconds "00".
QString dateTime14(const QDate &date, const QTime &time);
// Writes the property name of `position` into its name slot.
void setName(ScheduleEntry &entry, int position, const char *name);

// The telephone rule: empty passes; otherwise what is left after removing
// every "*", "#" and "-" must be a number (digits, an optional leading "+").
bool telephoneAccepted(const QString &text);

} // namespace skedra
