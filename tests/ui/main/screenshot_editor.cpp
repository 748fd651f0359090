// The newer entry editor as it sits on a 1366 x 768 screen, over the main
// window that fills the screen:
//   editor_screenshot FILE.vcs FOLDER
// saves FOLDER/editor_1366x768_alarm.png and FOLDER/editor_1366x768_option.png
// (the whole screen, the editor on the first entry with an alarm, once
// with each page) and prints where the editor sits. Meant for a screen of
// that size (ctest runs it on one). Settings live in a temporary folder.
#include "frmmain.h"
#include "screenshot_util.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    using namespace skedra;
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: editor_screenshot FILE.vcs FOLDER\n");
        return 2;
    }
    const QTemporaryDir settings;
    test::keepSettingsIn(settings.path());
    QDir().mkpath(args[2]);

    frmMain w;
    QScreen *screen = w.screen();
    w.setGeometry(screen->availableGeometry());
    w.show();
    w.openCommandLine(args[1]);
    if (QAction *model = w.findChild<QAction *>(QStringLiteral("mnu604SH")))
        model->trigger();
    test::settle();

    bool ok = false;
    w.showModal = [&](QDialog &d) {
        d.show();
        test::settle();
        const QRect at = d.frameGeometry();
        std::printf("%s %dx%d at %d,%d on a %dx%d screen\n", qPrintable(d.objectName()), at.width(),
                    at.height(), at.x(), at.y(), screen->geometry().width(), screen->geometry().height());
        ok = test::savePicture(screen->grabWindow(0), args[2] + QStringLiteral("/editor_1366x768_alarm.png"));
        if (auto *tabs = d.findChild<QTabBar *>(QStringLiteral("TabStrip1")))
            tabs->setCurrentIndex(1);
        test::settle();
        ok = test::savePicture(screen->grabWindow(0), args[2] + QStringLiteral("/editor_1366x768_option.png"))
            && ok && d.frameGeometry() == at;
        d.reject();
    };
    const ScheduleList &list = w.state().ScheduleList;
    int row = 1;
    while (row < list.count() && list.at(row - 1, DAlarmValue).startsWith(QLatin1String("00000000")))
        ++row;
    w.grid().setRow(row);
    w.findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    return ok ? 0 : 1;
}
