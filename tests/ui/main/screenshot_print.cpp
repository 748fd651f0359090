// Pictures of the print preview over a file:
//   print_screenshot FILE.vcs FOLDER
// saves FOLDER/print_month.png (the calendar's print button on April 2005:
// the month on landscape A4, four more entries on the 22nd) and
// FOLDER/print_list.png (File ▸ 印刷… from the list: all rows on portrait
// A4, the whole page) and FOLDER/print_choice.png (the question before
// either, from the list with several rows selected). Settings live in a
// temporary folder.
#include "frmcalendar.h"
#include "frmmain.h"
#include "qtdialogs.h"
#include "screenshot_util.h"
#include "scripted_dialogs.h"
#include "test_entries.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    using namespace skedra;
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: print_screenshot FILE.vcs FOLDER\n");
        return 2;
    }
    QTemporaryDir tmp;
    test::keepSettingsIn(tmp.path());
    QDir().mkpath(args[2]);

    test::ScriptedDialogs dialogs;  // every print choice taken as offered
    frmMain w(nullptr, &dialogs);
    w.today = [] { return QDate(2005, 4, 11); };
    w.resize(900, 640);
    w.show();
    w.openCommandLine(args[1]);
    ScheduleList &list = w.state().ScheduleList;
    test::addBusyDay(list);
    w.Grid_refresh();

    QString picture;
    QSize size(1200, 800);
    bool ok = true;
    w.showPreview = [&](QPrintPreviewDialog &dialog) {
        dialog.resize(size);
        dialog.show();
        ok = test::saveWindow(dialog, picture) && ok;
        dialog.close();
    };

    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    if (!calendar)
        return 1;
    picture = args[2] + QStringLiteral("/print_month.png");
    calendar->findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click();
    calendar->close();

    picture = args[2] + QStringLiteral("/print_list.png");
    size = QSize(860, 1000);
    w.findChild<QAction *>(QStringLiteral("mnuPrint"))->trigger();

    // The real question, pictured and cancelled.
    QTimer::singleShot(300, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ok = test::saveWindow(*dialog, args[2] + QStringLiteral("/print_choice.png")) && ok;
            dialog->reject();
        }
    });
    QtDialogs(&w).printChoice(QStringLiteral("印刷"), print::PrintChoice{print::Subject::SelectedRows, QPageLayout::Portrait},
                              QStringLiteral("2005年04月"), true);
    w.state().Dirty = QStringLiteral("0");
    return ok ? 0 : 1;
}
