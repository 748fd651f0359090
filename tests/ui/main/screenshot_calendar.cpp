// Pictures of the calendar over a file:
//   calendar_screenshot FILE.vcs FOLDER
// saves FOLDER/calendar.png (April 2005 with a day selected and its day
// list; four entries are added on the 22nd, more than its cell holds),
// FOLDER/calendar_step.png (one month forward from 31 January 2005, which
// gets an entry: the kept cell is empty and the day list still shows the
// 31st) and
// FOLDER/calendar_min.png (the window at its minimum size with the month
// picker open). Settings live in a temporary folder.
#include "frmcalendar.h"
#include "frmmain.h"
#include "screenshot_util.h"
#include "scripted_dialogs.h"
#include "test_entries.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    using namespace skedra;
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: calendar_screenshot FILE.vcs FOLDER\n");
        return 2;
    }
    QTemporaryDir tmp;
    test::keepSettingsIn(tmp.path());
    QDir().mkpath(args[2]);

    test::ScriptedDialogs dialogs;
    frmMain w(nullptr, &dialogs);
    w.today = [] { return QDate(2005, 4, 11); };
    w.resize(900, 640);
    w.show();
    w.openCommandLine(args[1]);
    ScheduleList &list = w.state().ScheduleList;
    test::addBusyDay(list);
    list[list.count()] = test::entry(QStringLiteral("月末の締め"), QStringLiteral("20050131170000"));
    w.Grid_refresh();
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    if (!calendar)
        return 1;
    calendar->resize(900, 640);
    bool ok = test::saveWindow(*calendar, args[2] + QStringLiteral("/calendar.png"));

    calendar->today = [] { return QDate(2005, 1, 31); };
    calendar->goToToday();
    calendar->step(calendar::MonthStep::MonthForward);
    ok = test::saveWindow(*calendar, args[2] + QStringLiteral("/calendar_step.png")) && ok;

    calendar->resize(calendar->minimumSize());
    auto *label = calendar->findChild<QLabel *>(QStringLiteral("lblYearMonth"));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &press);
    ok = test::saveWindow(*calendar, args[2] + QStringLiteral("/calendar_min.png")) && ok;
    w.state().Dirty = QStringLiteral("0");
    return ok ? 0 : 1;
}
