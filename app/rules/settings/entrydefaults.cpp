#include "entrydefaults.h"

#include "categories.h"
#include "settings.h"

#include <QDate>
#include <QTime>

namespace skedra {

namespace {

const QString NoAlarm = QStringLiteral("00000000000000;");

// A 14-digit local date-time read as a wall-clock date and time (no time
// zone, so no daylight-saving gaps); nothing when it is not one (too short,
// not digits, the all-zero "not set" moment, 31 February).
std::optional<qint64> minuteNumber(QStringView text)
{
    if (text.size() != 14)
        return std::nullopt;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const QDate date(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
    const QTime time(text.mid(8, 2).toInt(), text.mid(10, 2).toInt(), text.mid(12, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // Whole minutes since an epoch, so that a difference counts minute
    // boundaries and ignores seconds.
    return QDate(1900, 1, 1).daysTo(date) * 24 * 60 + time.hour() * 60 + time.minute();
}

QString orDefault(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

} // namespace

const std::array<EntryDefaults::Field, 18> &EntryDefaults::fields()
{
    static const std::array<Field, 18> list = {{
        {"Stamp", &EntryDefaults::Stamp},
        {"ArarmOnOff", &EntryDefaults::ArarmOnOff},
        {"ArarmDate", &EntryDefaults::ArarmDate},
        {"ArarmMes", &EntryDefaults::ArarmMes},
        {"Snooze", &EntryDefaults::Snooze},
        {"PreArarm", &EntryDefaults::PreArarm},
        {"Snd", &EntryDefaults::Snd},
        {"Cmblt", &EntryDefaults::Cmblt},
        {"Viv", &EntryDefaults::Viv},
        {"Vol", &EntryDefaults::Vol},
        {"Sec", &EntryDefaults::Sec},
        {"Class", &EntryDefaults::Class},
        {"Attach", &EntryDefaults::Attach},
        {"Tel", &EntryDefaults::Tel},
        {"CalColor", &EntryDefaults::CalColor},
        {"Del", &EntryDefaults::Del},
        {"Disp", &EntryDefaults::Disp},
        {"Priority", &EntryDefaults::Priority},
    }};
    return list;
}

std::optional<qint64> alarmOffsetMinutes(const ScheduleEntry &entry)
{
    const auto start = minuteNumber(entry[DtStartValue]);
    const auto alarm = minuteNumber(QStringView(entry[DAlarmValue]).left(14));
    if (!start || !alarm)
        return std::nullopt;
    return *alarm - *start;
}

bool SetDefaultsFromEntry(EntryDefaults &defaults, SettingsStore &settings,
                          const ScheduleList &list, int currentRow, bool *stored)
{
    if (stored)
        *stored = false;
    const int index = currentRow - 1;
    if (!list.exists(index))
        return false;
    const ScheduleEntry &entry = list[index];
    const EntryDefaults builtIn;

    // Category or stamp code; an unknown text keeps the previous default.
    if (!entry[CategoriesValue].isEmpty()) {
        if (const auto code = categories::codeOfCategoriesValue(entry[CategoriesValue]))
            defaults.Stamp = QString::number(*code);
    } else if (!entry[ShCategoriesName].isEmpty()) {
        if (const auto code = categories::codeOfStampValue(entry[ShCategoriesValue]))
            defaults.Stamp = QString::number(*code);
    } else {
        defaults.Stamp = QStringLiteral("0");
    }

    // An alarm whose moment cannot be read (the all-zero moment with a
    // message, a damaged value) counts as no alarm rather than inventing an
    // offset.
    const auto offset = entry[DAlarmValue] == NoAlarm ? std::nullopt : alarmOffsetMinutes(entry);
    if (!offset) {
        defaults.ArarmOnOff = QStringLiteral("OFF");
        defaults.ArarmDate = QStringLiteral("0");
        defaults.ArarmMes.clear();
        defaults.Snooze = builtIn.Snooze;
        defaults.PreArarm = builtIn.PreArarm;
        defaults.Snd = builtIn.Snd;
        defaults.Cmblt = builtIn.Cmblt;
        defaults.Viv = builtIn.Viv;
        defaults.Vol = builtIn.Vol;
        defaults.Sec = builtIn.Sec;
    } else {
        const QString &alarm = entry[DAlarmValue];
        defaults.ArarmOnOff = QStringLiteral("ON");
        defaults.ArarmDate = QString::number(*offset);
        // The message is everything after the first ";", as the reader and
        // writer split it, so a message that itself holds ";" is kept whole.
        const qsizetype semicolon = alarm.indexOf(QLatin1Char(';'));
        defaults.ArarmMes = semicolon < 0 ? QString() : alarm.mid(semicolon + 1);
        defaults.Snooze = orDefault(entry[SnoozeValue], builtIn.Snooze);
        defaults.PreArarm = orDefault(entry[PreAlarmValue], builtIn.PreArarm);
        defaults.Snd = entry[SndValue];
        defaults.Cmblt = entry[CmbltNoValue];
        defaults.Viv = entry[VivValue];
        defaults.Vol = entry[VolValue];
        defaults.Sec = entry[SecValue];
    }

    defaults.Class = entry[ClassValue];
    defaults.Attach = entry[AttachValue];
    defaults.Tel = entry[TelValue];
    defaults.CalColor = entry[CalColorValue];
    defaults.Del = orDefault(entry[NoAutoDelValue], builtIn.Del);
    defaults.Disp = orDefault(entry[NoDispDefWinValue], builtIn.Disp);
    defaults.Priority = entry[PriorityValue];

    const bool ok = settings.saveEntryDefaults(defaults);
    if (stored)
        *stored = ok;
    return true;
}

bool ClearDefaults(EntryDefaults &defaults, SettingsStore &settings)
{
    defaults = EntryDefaults();
    return settings.saveEntryDefaults(defaults);
}

} // namespace skedra
