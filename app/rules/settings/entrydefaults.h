// The defaults for new entries (section "Init" of the settings) and the two
// commands that change them: SetDefaultsFromEntry and ClearDefaults.
#pragma once

#include "schedule.h"

#include <QString>

#include <array>
#include <optional>

namespace skedra {

class SettingsStore;

// Eighteen texts; the key names (including their spelling "Ararm") are the
// stored ones.
struct EntryDefaults {
    QString Stamp = QStringLiteral("0");            // category or stamp code 0-59
    QString ArarmOnOff = QStringLiteral("OFF");     // "ON": new entries get an alarm
    QString ArarmDate = QStringLiteral("0");        // signed minutes from the start
    QString ArarmMes;                               // alarm message
    QString Snooze = QStringLiteral("OFF;PT5M");
    QString PreArarm = QStringLiteral("OFF");
    QString Snd = QStringLiteral("0;0");
    QString Cmblt = QStringLiteral("ON1;0;3");
    QString Viv = QStringLiteral("OFF");
    QString Vol = QStringLiteral("5");
    QString Sec = QStringLiteral("15");
    QString Class = QStringLiteral("PUBLIC");
    QString Attach;
    QString Tel;
    QString CalColor;
    QString Del = QStringLiteral("OFF");
    QString Disp = QStringLiteral("ON");
    QString Priority = QStringLiteral("0");

    bool operator==(const EntryDefaults &) const = default;

    // Key names and members in the stored order.
    struct Field {
        const char *key;
        QString EntryDefaults::*member;
    };
    static const std::array<Field, 18> &fields();
};

// "既定値として登録": makes the entry on grid row `currentRow` (1-based) the
// model for new entries, in memory and in the store. Does nothing (and
// returns false) when that row holds no entry. Returns true when the values
// were taken; `stored` (optional) tells whether the store accepted them.
bool SetDefaultsFromEntry(EntryDefaults &defaults, SettingsStore &settings,
                          const ScheduleList &list, int currentRow, bool *stored = nullptr);

// "既定値をｸﾘｱ": the built-in values, in memory and in the store. Returns
// whether the store accepted them.
bool ClearDefaults(EntryDefaults &defaults, SettingsStore &settings);

// The alarm offset of an entry in whole minutes from its start: minute
// boundaries crossed from DtStartValue to the first 14 characters of
// DAlarmValue, both read as 14-digit local date-times. Nothing when either
// is not a real date and time (the all-zero "no alarm" moment included).
std::optional<qint64> alarmOffsetMinutes(const ScheduleEntry &entry);

} // namespace skedra
