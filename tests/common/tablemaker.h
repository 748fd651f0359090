// Random tables for the round-trip tests: entries that hold only values the
// editor can produce, every property present or absent by chance.
#pragma once

#include "schedule.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>

namespace skedra::test {

inline const QString QP = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");

class TableMaker {
public:
    explicit TableMaker(quint32 seed)
        : m_rng(seed)
    {
    }

    int below(int n) { return int(m_rng.bounded(n)); }
    bool chance() { return below(2) == 0; }
    QString pick(const QStringList &from) { return from[below(int(from.size()))]; }

    // Text from every kind of character a user types: ASCII with the
    // characters the format uses ("=", ";", ":", "+", space), kana of both
    // widths, kanji, full-width forms and CP932's own extensions.
    QString text(int maxChars)
    {
        static const QString pool = QStringLiteral(
            "aZ09 =;:+,.!?-/あいうをんアイヴヶｱｲｳﾞﾟ漢字会議予定１２３ＡＢ　～①㈱∥￢髙");
        QString s;
        const int n = below(maxChars + 1);
        for (int i = 0; i < n; ++i)
            s += pool[below(int(pool.size()))];
        return s;
    }
    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + below(10));
        return s;
    }
    // A local date-time; the seconds are random (the file drops them).
    // Every draw is a statement of its own, here and below: the order in
    // which a call's arguments are evaluated differs between compilers, and
    // the tables must not.
    QString dateTime()
    {
        const int year = 1990 + below(48);
        const int month = 1 + below(12);
        const int day = 1 + below(28);
        const int later = below(4);
        const int hour = below(24);
        const int minute = below(60);
        const int second = below(60);
        const QDateTime dt(QDate(year, month, day).addDays(later), QTime(hour, minute, second), Qt::UTC);
        return dt.toString(QStringLiteral("yyyyMMddHHmmss"));
    }

    // A random entry that only holds values the editor can produce.
    ScheduleEntry entry()
    {
        ScheduleEntry e;
        const bool todo = chance();
        e[ComponentName] = todo ? "VTODO" : "VEVENT";
        e[DtStartName] = todo ? "DUE" : "DTSTART";
        e[DtStartValue] = dateTime();
        if (chance()) {
            e[DtEndName] = todo ? "COMPLETED" : "DTEND";
            e[DtEndValue] = chance() ? QString() : dateTime();
        }
        e[SummaryName] = "SUMMARY";
        e[SummaryParams] = QP;
        e[SummaryValue] = text(12);
        if (chance()) {
            e[DescriptionName] = "DESCRIPTION";
            e[DescriptionParams] = QP;
            e[DescriptionValue] = text(80);
        }
        set(e, Class, "CLASS", pick({"PUBLIC", "PRIVATE"}));
        set(e, Categories, "CATEGORIES", pick({"PERSONAL", "HOLIDAY", "TRAVEL", "BUSINESS", "MEETING", "CLUB"}));
        e[DAlarmName] = "DALARM";
        e[DAlarmParams] = QP;
        if (chance()) {
            e[DAlarmValue] = "00000000000000;";
        } else {
            const QString when = dateTime();
            e[DAlarmValue] = when + ";" + text(70);
        }
        set(e, RRule, "RRULE", pick({"", "D1 #3", "W1 MO #0", "MP1 15 #0", "W1 SU #99"}));
        set(e, Priority, "PRIORITY", pick({"0", "1", "2"}));
        set(e, Status, "STATUS", pick({"NEEDS ACTION", "COMPLETED"}));
        if (chance()) {
            e[JpgFromName] = "X-JPG-FROM";
            e[JpgFromParams] = QP;
            e[JpgFromValue] = text(40);
        }
        set(e, JpgSerial, "X-JPG-SERIAL", digits(8));
        set(e, Tel, "X-JPGSH-TEL", digits(11));
        e[SndName] = "X-JPGSH-SND";
        e[SndParams] = chance() ? QP : QString();
        switch (below(4)) {
        case 0: e[SndValue] = "0;" + QString::number(below(30)); break;
        case 1: e[SndValue] = "1;" + text(10) + ".mid"; break;
        case 2: e[SndValue] = "1;" + text(10) + ".mmf.HUF"; break;
        default: {
            const QString kind = pick({"2;", "3;"});
            e[SndValue] = kind + "voice" + digits(3) + ".amr";
            break;
        }
        }
        set(e, Vol, "X-JPGSH-VOL", QString::number(below(7)));
        set(e, Viv, "X-JPGSH-VIV", pick({"ON", "OFF"}));
        set(e, Sec, "X-JPGSH-SEC", QString::number(2 + below(98)));
        set(e, Yearly, "X-JPGSH-YEARLY", chance() ? QString() : digits(4));
        set(e, CmbltNo, "X-JPGSH-CMBLT-NO", pick({"ON1;0;3", "ON2;4;0", "OFF;0;0"}));
        set(e, ShAlarm, "X-JPGSH-ALARM", chance() ? "00000000000000" : dateTime());
        set(e, NoAutoDel, "X-JPGSH-NOAUTODEL", pick({"ON", "OFF"}));
        set(e, NoDispDefWin, "X-JPGSH-NODISPDEFWIN", pick({"ON", "OFF"}));
        set(e, CalColor, "X-JPGSH-CALCOLOR", pick({"", "BLACK", "BLUE", "GREEN", "PINK", "PURPLE", "RED"}));
        set(e, PreAlarm, "X-JPGSH-PREALARM", pick({"OFF", "ON;PT10M", "ON;P2D", "ON;P1M"}));
        set(e, Snooze, "X-JPGSH-SNOOZE", pick({"OFF;PT5M", "ON;PT20M", "OFF"}));
        e[AttachName] = "X-JPGSH-ATTACH";
        e[AttachParams] = chance() ? vcsAttachParams() : QString();
        e[AttachValue] = chance() ? QString() : text(10) + ".jpg";
        set(e, ShCategories, "X-JPGSH-CATEGORIES", QString::number(1 + below(53)));
        e[CategoryCode] = digits(2);
        return e;
    }

    static QString vcsAttachParams()
    {
        return QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");
    }

private:
    void set(ScheduleEntry &e, int position, const char *name, const QString &value)
    {
        if (below(5) == 0)
            return;  // some properties are absent
        e[nameSlot(position)] = QString::fromLatin1(name);
        e[valueSlot(position)] = value;
    }

    QRandomGenerator m_rng;
};

} // namespace skedra::test
