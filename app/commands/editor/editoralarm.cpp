// The alarm group of the entry editor: loading, the refreshers of its
// options, the number-field limits, the checks and the store of its ten
// handset properties.
#include "editormodel.h"

#include <QDateTime>
#include <QTimeZone>

namespace skedra {

namespace {

const QString NoAlarm = QStringLiteral("00000000000000");

// Prefixes of the sound value by opt_folder index: music, audio, voice.
const std::array<QString, SoundFolderCount> FolderPrefixes = {
    QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("2"),
};

const std::array<Range, 5> PreAlarmRanges = {{{2, 99}, {1, 24}, {1, 31}, {1, 5}, {1, 12}}};
constexpr Range SnoozeRange{2, 20};
constexpr Range AlarmSecondsRange{2, 99};
constexpr int DefaultVolume = 5;

// The entry `value` names in a list of `size` entries; -1 when it names none.
int entryOf(const QString &value, qsizetype size)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok && n >= 0 && n < size ? n : -1;
}

// A typed number held within `range`; empty or not a number gives the minimum.
QString clamped(const QString &text, Range range)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        return QString::number(range.minimum);
    return QString::number(qBound(range.minimum, n, range.maximum));
}

} // namespace

QStringList volumeNames()
{
    return {QStringLiteral("ｻｲﾚﾝﾄ"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
            QStringLiteral("4"),     QStringLiteral("5"), QStringLiteral("ｽﾃｯﾌﾟ")};
}

QStringList preAlarmUnitNames()
{
    return {QStringLiteral("分"), QStringLiteral("時間"), QStringLiteral("日"), QStringLiteral("週"),
            QStringLiteral("月")};
}

Range preAlarmRange(int unit)
{
    if (unit < 0 || unit >= static_cast<int>(PreAlarmRanges.size()))
        return PreAlarmRanges[0];
    return PreAlarmRanges[static_cast<size_t>(unit)];
}

// ---- Loading ----

void EditorModel::loadAlarm()
{
    const ScheduleEntry &w = m_state.WorkEntry;
    AlarmFields &a = form.alarm;

    // The moment, then the message: everything after the first ";".
    const QString &value = w[DAlarmValue];
    const qsizetype cut = value.indexOf(QLatin1Char(';'));
    const QString moment = cut < 0 ? value : value.left(cut);
    const bool off = moment == NoAlarm;
    if (off) {
        optArarm_Click(Pair::Off);
        a.date = form.frDate;
        a.time = form.frTime;
    } else {
        optArarm_Click(Pair::On);
        const QDate date = QDate::fromString(moment.left(8), QStringLiteral("yyyyMMdd"));
        const QTime time = QTime::fromString(moment.mid(8, 6), QStringLiteral("HHmmss"));
        a.date = date.isValid() ? date : form.frDate;
        a.time = time.isValid() ? time : form.frTime;
    }
    a.message = cut < 0 ? QString() : value.mid(cut + 1);
    a.tel = w[TelValue];

    if (!w[SndValue].isEmpty()) {
        a.melody = -1;
        a.ringFile.clear();
        const QStringList sound = w[SndValue].split(QLatin1Char(';'));
        const QString kind = sound.value(0);
        if (kind == QLatin1String("0")) {
            optRing_Click(Ring::Melody);
            a.melody = entryOf(sound.value(1), a.melodies.size());
        } else {
            // Without folder options a sound file is always music.
            const int folders = m_profile.soundFolders ? SoundFolderCount : 1;
            for (int folder = 0; folder < folders; ++folder) {
                if (kind != FolderPrefixes[static_cast<size_t>(folder)])
                    continue;
                optRing_Click(Ring::Folder);
                selectFolder(folder);
                a.ringFile = sound.value(1);
            }
        }
    }

    loadLamp();

    a.vibration = w[VivValue] == QLatin1String("ON") ? Pair::On : Pair::Off;
    a.seconds = w[SecValue].isEmpty() ? QStringLiteral("15") : w[SecValue];
    a.volume = w[VolValue].isEmpty() ? DefaultVolume : entryOf(w[VolValue], volumeNames().size());
    if (off)
        optArarm_Click(Pair::Off);
    if (m_profile.alarmExtras)
        loadAlarmExtras();
}

void EditorModel::loadLamp()
{
    const ScheduleEntry &w = m_state.WorkEntry;
    AlarmFields &a = form.alarm;
    if (w[CmbltNoValue].isEmpty())
        return;
    a.largePattern = a.largeColour = a.smallPattern = -1;
    const QStringList lamp = w[CmbltNoValue].split(QLatin1Char(';'));
    if (lamp.value(0) == QLatin1String("ON1")) {
        optRmp_Click(Lamp::Mobile);
        a.largeColour = lampColourEntry(lamp.value(2));
        a.largePattern = entryOf(lamp.value(1), a.lampPatterns.size());
    } else if (lamp.value(0) == QLatin1String("ON2")) {
        optRmp_Click(Lamp::Small);
        a.smallPattern = entryOf(lamp.value(1), a.smallLampPatterns.size());
    } else if (lamp.value(0) == QLatin1String("OFF")) {
        optRmp_Click(Lamp::Off);
    }
}

// The cmbRmp2 entry of a stored colour number. Colour numbers are the same
// on every model; a list that starts at colour 1 shows colour c as entry
// c - 1, and a colour below its first as its first entry. A colour that
// is missing or no number selects nothing, as a pattern does.
int EditorModel::lampColourEntry(const QString &stored) const
{
    if (m_profile.lampLocked)
        return -1;
    const int offset = m_profile.lampColourOffset;
    bool ok = false;
    const int colour = stored.toInt(&ok);
    if (!ok)
        return -1;
    if (offset > 0 && colour < offset)
        return 0;
    return entryOf(QString::number(colour - offset), form.alarm.lampColours.size());
}

void EditorModel::loadAlarmExtras()
{
    const ScheduleEntry &w = m_state.WorkEntry;
    AlarmFields &a = form.alarm;
    if (!w[PreAlarmValue].isEmpty()) {
        a.preUnit = NoUnit;
        const QStringList pre = w[PreAlarmValue].split(QLatin1Char(';'));
        if (pre.value(0) == QLatin1String("ON")) {
            optPreArarm_Click(Pair::On);
            QString duration = pre.value(1);
            int unit = NoUnit;
            if (duration.startsWith(QLatin1String("PT"))) {
                duration.remove(0, 2);
                unit = duration.endsWith(QLatin1Char('M')) ? Minutes
                    : duration.endsWith(QLatin1Char('H'))  ? Hours
                                                           : NoUnit;
            } else {
                duration.remove(QLatin1Char('P'));
                unit = duration.endsWith(QLatin1Char('D')) ? Days
                    : duration.endsWith(QLatin1Char('W'))  ? Weeks
                    : duration.endsWith(QLatin1Char('M'))  ? Months
                                                           : NoUnit;
            }
            if (unit != NoUnit) {
                cmbPreArarm_Click(unit);
                a.preCount = duration.chopped(1);
            }
        } else if (pre.value(0) == QLatin1String("OFF")) {
            optPreArarm_Click(Pair::Off);
        }
    }

    if (!w[SnoozeValue].isEmpty()) {
        const QStringList snooze = w[SnoozeValue].split(QLatin1Char(';'));
        if (snooze.value(0) == QLatin1String("ON")) {
            optSnooze_Click(Pair::On);
            a.snoozeCount = snooze.value(1).remove(QLatin1String("PT")).remove(QLatin1Char('M'));
        } else if (snooze.value(0) == QLatin1String("OFF")) {
            optSnooze_Click(Pair::Off);
        }
    }
}

// ---- Refreshers and limits ----

void EditorModel::optArarm_Click(Pair alarm)
{
    ++m_handlerCalls;
    form.alarm.alarm = alarm;
    if (alarm != Pair::On)
        return;  // the group's controls show disabled over their own flags
    optRing_Click(form.alarm.ring);
    optRmp_Click(form.alarm.lamp);
    if (!m_profile.alarmExtras)
        return;
    optSnooze_Click(form.alarm.snooze);
    optPreArarm_Click(form.alarm.preAlarm);
}

void EditorModel::optRing_Click(Ring ring)
{
    ++m_handlerCalls;
    AlarmFields &a = form.alarm;
    a.ring = ring;
    a.melodyEnabled = ring == Ring::Melody;
    if (ring == Ring::Melody && a.melody < 0 && !a.melodies.isEmpty() && m_profile.fillsEmptyMelody)
        a.melody = 0;
    a.ringFileEnabled = ring == Ring::Folder;
    if (ring != Ring::Folder) {
        a.folderEnabled.fill(false);
        return;
    }
    a.melody = -1;
    if (m_profile.allSoundFolders) {
        a.folderEnabled.fill(true);
        if (a.ringFile.isEmpty())
            selectFolder(0);
    } else {
        a.folderEnabled = {true, false, false};
        selectFolder(0);
    }
}

void EditorModel::opt_folder_Click(int folder)
{
    ++m_handlerCalls;
    selectFolder(folder);
}

// A file name belongs to one folder: choosing another folder empties it.
void EditorModel::selectFolder(int folder)
{
    if (form.alarm.folder == folder)
        return;
    form.alarm.folder = folder;
    form.alarm.ringFile.clear();
}

void EditorModel::optRmp_Click(Lamp lamp)
{
    ++m_handlerCalls;
    AlarmFields &a = form.alarm;
    a.lamp = lamp;
    a.largeLampEnabled = lamp == Lamp::Mobile && !m_profile.lampLocked;
    a.smallLampEnabled = lamp == Lamp::Small && !m_profile.lampLocked;
    if (lamp != Lamp::Small)
        a.smallPattern = -1;
    if (lamp != Lamp::Mobile)
        a.largePattern = a.largeColour = -1;
}

void EditorModel::optPreArarm_Click(Pair on)
{
    ++m_handlerCalls;
    AlarmFields &a = form.alarm;
    a.preAlarm = on;
    a.preAlarmEnabled = on == Pair::On;
    if (on != Pair::On) {
        a.preUnit = NoUnit;
        a.preCount.clear();
        return;
    }
    if (a.preUnit == NoUnit)
        cmbPreArarm_Click(Minutes);
    if (a.preCount.isEmpty())
        a.preCount = QString::number(preAlarmRange(a.preUnit).minimum);
}

void EditorModel::cmbPreArarm_Click(int unit)
{
    ++m_handlerCalls;
    AlarmFields &a = form.alarm;
    a.preUnit = unit;
    const Range r = preAlarmRange(unit);
    a.preRange = QStringLiteral("(%1～%2)").arg(r.minimum).arg(r.maximum);
    if (a.preCount.isEmpty())
        a.preCount = QString::number(r.minimum);
}

void EditorModel::txtPreArarm_Change(const QString &text)
{
    ++m_handlerCalls;
    form.alarm.preCount = text;
    form.typed.preCount = true;
}

void EditorModel::txtPreArarm_LostFocus()
{
    ++m_handlerCalls;
    if (form.typed.preCount && form.alarm.preUnit != NoUnit)
        form.alarm.preCount = clamped(form.alarm.preCount, preAlarmRange(form.alarm.preUnit));
}

void EditorModel::optSnooze_Click(Pair on)
{
    ++m_handlerCalls;
    AlarmFields &a = form.alarm;
    a.snooze = on;
    a.snoozeEnabled = on == Pair::On;
    if (on != Pair::On)
        a.snoozeCount.clear();
    else if (a.snoozeCount.isEmpty())
        a.snoozeCount = QString::number(SnoozeRange.minimum);
}

void EditorModel::txtSnooze_Change(const QString &text)
{
    ++m_handlerCalls;
    form.alarm.snoozeCount = text;
    form.typed.snoozeCount = true;
}

void EditorModel::txtSnooze_LostFocus()
{
    ++m_handlerCalls;
    if (form.typed.snoozeCount && form.alarm.snooze == Pair::On)
        form.alarm.snoozeCount = clamped(form.alarm.snoozeCount, SnoozeRange);
}

void EditorModel::optArmTime_Change(const QString &text)
{
    ++m_handlerCalls;
    form.alarm.seconds = text;
    form.typed.seconds = true;
}

void EditorModel::optArmTime_LostFocus()
{
    ++m_handlerCalls;
    if (form.typed.seconds)
        form.alarm.seconds = clamped(form.alarm.seconds, AlarmSecondsRange);
}

void EditorModel::dtpArDate_Change(const QDate &date)
{
    ++m_handlerCalls;
    form.alarm.date = date;
    if (date <= form.frDate)
        return;
    m_dialogs.error(QStringLiteral("予定開始日以降の日付は指定できません！　　　"));
    form.alarm.date = form.frDate;
    form.focus = QStringLiteral("dtpArDate");
}

// The alarm keeps the default distance from the start, whether on or off.
void EditorModel::alarmFollowsStart()
{
    const QDateTime start(form.frDate, form.frTime, QTimeZone::utc());
    const QDateTime alarm = start.addSecs(alarmOffsetMinutes * 60);
    form.alarm.date = alarm.date();
    form.alarm.time = alarm.time();
}

// ---- Checks and store ----

// The limits of the numbers still being typed, the sound check and the
// silent lamp repairs; false when refused.
bool EditorModel::checkAlarm()
{
    optArmTime_LostFocus();
    txtPreArarm_LostFocus();
    txtSnooze_LostFocus();
    AlarmFields &a = form.alarm;
    if (a.alarm == Pair::On) {
        if (a.ring == Ring::Melody && a.melody < 0)
            a.melody = 0;
        if (a.ring == Ring::Folder && a.ringFile.isEmpty())
            return refuse(QStringLiteral("ﾒﾛﾃﾞｨﾃﾞｰﾀを指定してください♪　　　"), QStringLiteral("txtRing2"));
    }
    if (m_profile.lampLocked)
        return true;  // no lamp to repair
    if (a.lamp == Lamp::Mobile) {
        if (a.largePattern < 0)
            a.largePattern = 0;
        if (a.largeColour < 0)
            a.largeColour = 3;
    } else if (a.lamp == Lamp::Small) {
        if (a.smallPattern < 0)
            a.smallPattern = 0;
    } else if (a.lamp == Lamp::None) {
        optRmp_Click(Lamp::Off);
    }
    return true;
}

void EditorModel::storeAlarm(ScheduleEntry &e) const
{
    const AlarmFields &a = form.alarm;
    const bool on = a.alarm == Pair::On;
    setName(e, DAlarm, "DALARM");
    setName(e, Snd, "X-JPGSH-SND");
    setName(e, Vol, "X-JPGSH-VOL");
    setName(e, Viv, "X-JPGSH-VIV");
    setName(e, Sec, "X-JPGSH-SEC");
    setName(e, Tel, "X-JPGSH-TEL");
    e[TelValue] = telephoneStored() ? a.tel : QString();
    storeLamp(e);
    if (m_profile.alarmExtras)
        storeAlarmExtras(e);

    if (!on) {
        e[DAlarmValue] = NoAlarm + QLatin1Char(';');
        e[SndValue] = QStringLiteral("0;0");
        e[VolValue] = QStringLiteral("5");
        e[VivValue] = QStringLiteral("OFF");
        e[SecValue] = QStringLiteral("15");
        return;
    }

    e[DAlarmValue] = dateTime14(a.date, a.time) + QLatin1Char(';') + a.message;
    if (a.ring == Ring::Melody)
        e[SndValue] = QStringLiteral("0;") + QString::number(a.melody);
    else if (a.ring == Ring::Folder && a.folder >= 0 && a.folder < SoundFolderCount)
        e[SndValue] = FolderPrefixes[static_cast<size_t>(a.folder)] + QLatin1Char(';') + a.ringFile;

    e[VolValue] = QString::number(a.volume >= 0 ? a.volume : DefaultVolume);
    e[VivValue] = a.vibration == Pair::On ? QStringLiteral("ON") : QStringLiteral("OFF");
    e[SecValue] = a.seconds;
}

// A model without a lamp (SH51) keeps what the entry held.
void EditorModel::storeLamp(ScheduleEntry &e) const
{
    if (m_profile.lampLocked)
        return;
    const AlarmFields &a = form.alarm;
    setName(e, CmbltNo, "X-JPGSH-CMBLT-NO");
    if (a.alarm != Pair::On) {
        e[CmbltNoValue] = QStringLiteral("ON1;0;3");
        return;
    }
    switch (a.lamp) {
    case Lamp::Mobile:
        e[CmbltNoValue] = QStringLiteral("ON1;%1;%2")
                              .arg(a.largePattern)
                              .arg(a.largeColour + m_profile.lampColourOffset);
        break;
    case Lamp::Small:
        e[CmbltNoValue] = QStringLiteral("ON2;%1;0").arg(a.smallPattern);
        break;
    case Lamp::Off:
    case Lamp::None:
        e[CmbltNoValue] = QStringLiteral("OFF;0;0");
        break;
    }
}

// X-JPGSH-ALARM, the pre-alarm and the snooze.
void EditorModel::storeAlarmExtras(ScheduleEntry &e) const
{
    const AlarmFields &a = form.alarm;
    setName(e, ShAlarm, "X-JPGSH-ALARM");
    setName(e, PreAlarm, "X-JPGSH-PREALARM");
    setName(e, Snooze, "X-JPGSH-SNOOZE");
    if (a.alarm != Pair::On) {
        e[ShAlarmValue] = NoAlarm;
        e[PreAlarmValue] = QStringLiteral("OFF");
        e[SnoozeValue] = QStringLiteral("OFF;PT5M");
        return;
    }
    e[ShAlarmValue] = dateTime14(a.date, a.time);

    QString pre = QStringLiteral("OFF");
    if (a.preAlarm == Pair::On) {
        const QString &n = a.preCount;
        switch (a.preUnit) {
        case Minutes: pre = QStringLiteral("ON;PT") + n + QLatin1Char('M'); break;
        case Hours: pre = QStringLiteral("ON;PT") + n + QLatin1Char('H'); break;
        case Days: pre = QStringLiteral("ON;P") + n + QLatin1Char('D'); break;
        case Weeks: pre = QStringLiteral("ON;P") + n + QLatin1Char('W'); break;
        case Months: pre = QStringLiteral("ON;P") + n + QLatin1Char('M'); break;
        default: pre = QStringLiteral("ON;"); break;
        }
    }
    e[PreAlarmValue] = pre;
    e[SnoozeValue] = a.snooze == Pair::On ? QStringLiteral("ON;PT") + a.snoozeCount + QLatin1Char('M')
                                          : QStringLiteral("OFF");
}

} // namespace skedra

