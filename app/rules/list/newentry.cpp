#include "newentry.h"

#include "categories.h"
#include "gridrender.h"
#include "sjis.h"

#include <QTimeZone>

namespace skedra {

namespace {

void setProperty(ScheduleEntry &e, int position, const QString &name,
                 const QString &value = QString(), const QString &params = QString())
{
    e[nameSlot(position)] = name;
    e[paramsSlot(position)] = params;
    e[valueSlot(position)] = value;
}

QString digits14(const QDate &date, int hour, int minute, int second)
{
    return ZeroPad(date.year(), 4) + ZeroPad(date.month(), 2) + ZeroPad(date.day(), 2)
        + ZeroPad(hour, 2) + ZeroPad(minute, 2) + ZeroPad(second, 2);
}

} // namespace

QString startMoment(const QDateTime &reference)
{
    QDate date = reference.date();
    int hour = reference.time().hour();
    int minute = reference.time().minute();
    if (minute > 45) {
        minute = 0;
        if (hour >= 23) {
            hour = 0;
            date = date.addDays(1);
        } else {
            ++hour;
        }
    } else if (minute > 0) {
        minute = (minute + 14) / 15 * 15;
    }
    return digits14(date, hour, minute, 0);
}

QString shiftDateTime14(const QString &dateTime14, long long minutes)
{
    // Plain clock arithmetic: the handset knows no zone and no daylight
    // saving, so the text is never read in the PC's zone.
    const QDate date = QDate::fromString(dateTime14.left(8), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(dateTime14.mid(8), QStringLiteral("HHmmss"));
    if (dateTime14.size() != 14 || !date.isValid() || !time.isValid())
        return dateTime14;
    const QDateTime t = QDateTime(date, time, QTimeZone::utc()).addSecs(minutes * 60);
    return digits14(t.date(), t.time().hour(), t.time().minute(), t.time().second());
}

ScheduleEntry makeNewEntry(const QString &model, const EntryDefaults &d, const QDateTime &reference)
{
    return makeNewEntryAt(model, d, startMoment(reference));
}

ScheduleEntry makeNewEntryAt(const QString &model, const EntryDefaults &d, const QString &start)
{
    ScheduleEntry e;
    const bool vModel = isVModel(model);
    const bool alarmOn = d.ArarmOnOff == QLatin1String("ON");
    const QString alarmAt = alarmOn ? shiftDateTime14(start, d.ArarmDate.toLongLong()) : QString();

    setProperty(e, DtStart, QStringLiteral("DTSTART"), start);
    setProperty(e, DtEnd, QStringLiteral("DTEND"));
    setProperty(e, Summary, QStringLiteral("SUMMARY"), QString(), QpParameters);
    setProperty(e, Description, QStringLiteral("DESCRIPTION"), QString(), QpParameters);
    setProperty(e, Class, QStringLiteral("CLASS"), d.Class);
    setProperty(e, DAlarm, QStringLiteral("DALARM"),
                alarmOn ? alarmAt + QLatin1Char(';') + d.ArarmMes : QStringLiteral("00000000000000;"),
                QpParameters);
    setProperty(e, RRule, QStringLiteral("RRULE"));
    setProperty(e, Priority, QStringLiteral("PRIORITY"), d.Priority);
    setProperty(e, Status, QStringLiteral("STATUS"), QStringLiteral("NEEDS ACTION"));
    setProperty(e, JpgFrom, QStringLiteral("X-JPG-FROM"), QString(), QpParameters);
    setProperty(e, JpgSerial, QStringLiteral("X-JPG-SERIAL"));
    setProperty(e, Tel, QStringLiteral("X-JPGSH-TEL"), d.Tel);
    setProperty(e, Snd, QStringLiteral("X-JPGSH-SND"), d.Snd, vModel ? QpParameters : QString());
    setProperty(e, Vol, QStringLiteral("X-JPGSH-VOL"), d.Vol);
    setProperty(e, Viv, QStringLiteral("X-JPGSH-VIV"), d.Viv);
    setProperty(e, Sec, QStringLiteral("X-JPGSH-SEC"), d.Sec);
    setProperty(e, Yearly, QStringLiteral("X-JPGSH-YEARLY"));
    if (model != QLatin1String("SH51"))
        setProperty(e, CmbltNo, QStringLiteral("X-JPGSH-CMBLT-NO"), d.Cmblt);
    e[ComponentName] = QStringLiteral("VEVENT");

    if (vModel) {
        setProperty(e, ShAlarm, QStringLiteral("X-JPGSH-ALARM"), alarmAt);
        setProperty(e, NoAutoDel, QStringLiteral("X-JPGSH-NOAUTODEL"), d.Del);
        setProperty(e, NoDispDefWin, QStringLiteral("X-JPGSH-NODISPDEFWIN"), d.Disp);
        setProperty(e, CalColor, QStringLiteral("X-JPGSH-CALCOLOR"), d.CalColor);
        setProperty(e, PreAlarm, QStringLiteral("X-JPGSH-PREALARM"), d.PreArarm);
        setProperty(e, Snooze, QStringLiteral("X-JPGSH-SNOOZE"), d.Snooze);
        setProperty(e, Attach, QStringLiteral("X-JPGSH-ATTACH"), d.Attach, AttachParameters);
    }

    bool ok = false;
    const int code = d.Stamp.toInt(&ok);
    if (ok && code >= 1 && code <= categories::LastCategoryCode) {
        e[CategoriesName] = categories::categoriesPropertyName();
        e[CategoriesValue] = categories::categoriesValue(code);
    } else if (ok && code >= categories::FirstStampCode && code < categories::CodeCount && vModel) {
        e[ShCategoriesName] = categories::stampPropertyName();
        e[ShCategoriesValue] = categories::stampValue(code);
    }
    return e;
}

void addMissingHandsetProperties(ScheduleEntry &e, const QString &model)
{
    auto addIfMissing = [&e](int position, const char *name, const QString &value,
                             const QString &params = QString()) {
        if (!e[nameSlot(position)].isEmpty())
            return;
        setProperty(e, position, QLatin1String(name), value, params);
    };
    if (model != QLatin1String("SH51"))
        addIfMissing(CmbltNo, "X-JPGSH-CMBLT-NO", QStringLiteral("ON1;0;3"));
    if (!isVModel(model))
        return;
    addIfMissing(ShAlarm, "X-JPGSH-ALARM", QStringLiteral("00000000000000"));
    addIfMissing(NoAutoDel, "X-JPGSH-NOAUTODEL", QStringLiteral("OFF"));
    addIfMissing(NoDispDefWin, "X-JPGSH-NODISPDEFWIN", QStringLiteral("ON"));
    addIfMissing(CalColor, "X-JPGSH-CALCOLOR", QString());
    addIfMissing(PreAlarm, "X-JPGSH-PREALARM", QStringLiteral("OFF"));
    addIfMissing(Snooze, "X-JPGSH-SNOOZE", QStringLiteral("OFF;PT5M"));
    addIfMissing(Attach, "X-JPGSH-ATTACH", QString(), AttachParameters);
}

} // namespace skedra
