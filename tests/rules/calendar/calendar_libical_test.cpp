// The days our repeat rules give, against libical's RFC 5545 recurrence
// iterator, a peer nobody here wrote. Entries are generated as the editor
// stores them (the end is the last occurrence, from the count; no end or the
// start for an unlimited repeat) and compared day by day over eight years
// with the equivalent rule:
//   D1 #n            FREQ=DAILY;COUNT=n
//   W1 XX #n         FREQ=WEEKLY;BYDAY=XX;COUNT=n       (starting on XX)
//   MP1 dd #n        FREQ=MONTHLY;BYMONTHDAY=dd;COUNT=n (starting on dd)
//   yearly MMDD      FREQ=YEARLY                        (29 February included)
// with no COUNT for #0. A third of the counted entries have no end, as
// handsets write them: the count alone must give the same days.
//
// Where the handsets' dialect differs from RFC 5545, left out:
// - MP1 29, 30 or 31 with a count: the editor ends the repeat at start + (n - 1)
//   calendar months, clamped to a short month's last day, so months without
//   that day use up the count; RFC 5545 skips them and still gives n
//   occurrences. (Without a count both give every month that has the day:
//   compared.)
// - W1 XX starting on another weekday: the start day itself never shows and
//   the end from the count cuts the run short; RFC 5545 leaves such a set
//   undefined.
// - A count together with an end that is not the count's last occurrence:
//   our calendar takes the end whatever the count; RFC 5545 has no such rule.
// - Rules other than D1, W1 and MP1 (MD1, YM1, ...): shown nowhere here.
#include "calendarentries.h"
#include "occurrence.h"

#include <gtest/gtest.h>

extern "C" {
#include <libical/ical.h>
}

#include <random>
#include <vector>

using namespace skedra;
using namespace skedra::calendar;
using namespace skedra::test;

namespace {

const QDate WindowStart(2024, 1, 1);
const QDate WindowEnd(2031, 12, 31);
const char *const WeekdayCodes[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

struct PeerCase {
    EntryTexts entry;
    QByteArray rfcRule;
};

QString dateTime14(QDate date, const QString &time) { return dateText(date) + time; }

PeerCase generatedCase(std::mt19937 &random)
{
    QDate start = WindowStart.addDays(random() % 1100);
    int count = random() % 4 == 0 ? 0 : int(random() % 15) + 1;
    const QString time = QStringLiteral("%1%2").arg(random() % 24, 2, 10, QLatin1Char('0')).arg("3000");
    const QByteArray countPart = count ? ";COUNT=" + QByteArray::number(count) : QByteArray();
    PeerCase c;
    c.entry.start = dateTime14(start, time);
    QDate end; // the end the editor derives from the count
    switch (random() % 4) {
    case 0:
        c.entry.rule = QStringLiteral("D1 #%1").arg(count);
        c.rfcRule = "FREQ=DAILY" + countPart;
        end = start.addDays(count - 1);
        break;
    case 1: {
        const char *code = WeekdayCodes[weekdayNumber(start) - 1];
        c.entry.rule = QStringLiteral("W1 %1 #%2").arg(QLatin1String(code)).arg(count);
        c.rfcRule = "FREQ=WEEKLY;BYDAY=" + QByteArray(code) + countPart;
        end = start.addDays(7 * (count - 1));
        break;
    }
    case 2:
        if (start.day() > 28) {
            count = 0; // see the note on MP1 29 to 31 above
            c.rfcRule = "FREQ=MONTHLY;BYMONTHDAY=" + QByteArray::number(start.day());
        } else {
            c.rfcRule = "FREQ=MONTHLY;BYMONTHDAY=" + QByteArray::number(start.day()) + countPart;
        }
        c.entry.rule = QStringLiteral("MP1 %1 #%2").arg(start.day(), 2, 10, QLatin1Char('0')).arg(count);
        end = start.addMonths(count - 1);
        break;
    default:
        if (random() % 8 == 0)
            start = QDate(2024, 2, 29);
        c.entry.start = dateTime14(start, time);
        c.entry.yearly = start.toString(u"MMdd");
        c.rfcRule = "FREQ=YEARLY";
        return c;
    }
    // Files from handsets may leave the end out: the count alone must do.
    if (count > 0 && random() % 3 != 0)
        c.entry.end = dateTime14(end, time);
    else if (count == 0 && random() % 2 == 0)
        c.entry.end = c.entry.start; // an unlimited repeat keeps its start as the end
    return c;
}

std::vector<QDate> peerDays(const PeerCase &c)
{
    std::vector<QDate> days;
    const QByteArray start = (c.entry.start.left(8) + u'T' + c.entry.start.mid(8)).toLatin1();
    const icalrecurrencetype rule = icalrecurrencetype_from_string(c.rfcRule.constData());
    icalrecur_iterator *it = icalrecur_iterator_new(rule, icaltime_from_string(start.constData()));
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) {
        const QDate day(t.year, t.month, t.day);
        if (day > WindowEnd)
            break;
        if (day >= WindowStart)
            days.push_back(day);
    }
    icalrecur_iterator_free(it);
    return days;
}

std::vector<QDate> ourDays(const PeerCase &c, const std::vector<CalendarDay> &window)
{
    std::vector<QDate> days;
    const Recurrence r = recurrenceOf(calendarEntry(c.entry));
    for (const CalendarDay &day : window) {
        if (fallsOn(r, day))
            days.push_back(QDate::fromString(day.date, u"yyyyMMdd"));
    }
    return days;
}

TEST(CalendarPeer, RepeatsGiveTheDaysOfLibicalsRecurrence)
{
    std::vector<CalendarDay> window;
    for (QDate d = WindowStart; d <= WindowEnd; d = d.addDays(1))
        window.push_back(CalendarDay::of(d));

    std::mt19937 random(20261208);
    for (int i = 0; i < 400; ++i) {
        const PeerCase c = generatedCase(random);
        const std::vector<QDate> ours = ourDays(c, window);
        const std::vector<QDate> peer = peerDays(c);
        ASSERT_FALSE(peer.empty()) << c.rfcRule.constData();
        EXPECT_EQ(ours, peer) << qPrintable(c.entry.start) << " " << qPrintable(c.entry.end) << " "
                              << qPrintable(c.entry.rule) << qPrintable(c.entry.yearly) << " vs "
                              << c.rfcRule.constData();
    }
}

} // namespace
