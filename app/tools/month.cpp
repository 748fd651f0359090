// skedra-vcs month FILE YYYY-MM: the agenda of one month as the calendar
// puts the entries on its days, one "YYYY-MM-DD<TAB>entry<TAB>summary" line
// per entry and day, days in order and each day's entries in list order.
#include "commands.h"

#include "occurrence.h"

#include <QDate>

namespace skedra::tool {

int runMonth(const QStringList &args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: skedra-vcs month FILE.vcs YYYY-MM\n"));
        return 1;
    }
    const QDate first = QDate::fromString(args[1], u"yyyy-MM");
    if (!first.isValid()) {
        printErr(QStringLiteral("skedra-vcs month: \"%1\" is not a month written YYYY-MM\n").arg(args[1]));
        return 1;
    }
    return printFromFile(args[0], [&first](const SessionState &state) {
        const calendar::Occurrences occurrences(state.ScheduleList);
        QString out;
        for (QDate day = first; day.month() == first.month(); day = day.addDays(1)) {
            const QString date = day.toString(Qt::ISODate);
            for (int number : occurrences.entriesOn(calendar::CalendarDay::of(day)))
                out += date + u'\t' + QString::number(number) + u'\t'
                       + oneLine(state.ScheduleList.at(number - 1, SummaryValue)) + u'\n';
        }
        return out;
    });
}

} // namespace skedra::tool
