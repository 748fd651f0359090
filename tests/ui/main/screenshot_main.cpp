// Opens a .vcs file in the real main window and saves a picture of it:
//   main_screenshot FILE.vcs OUT.png
// When FILE.vcs does not exist a small file with Japanese entries is made
// and shown instead. Beside OUT.png it saves file_menu.png (the File menu
// open), edit_menu.png (model V603SH,
// the Edit menu open with its stamp submenu), toolbar.png and the entry
// editor with each of its two tabs: editr_weekly_*.png on a weekly event,
// editr_noend_*.png on an entry without an end, editr_alarm_on_*.png with
// the large lamp, pre-alarm, snooze and a PNG picture in the preview,
// editr_alarm_off_*.png with the alarm off, and the older editor with the
// alarm on: edit_sh52.png and edit_sh51.png. The settings of this run
// live in a temporary folder.
#include "frmmain.h"
#include "screenshot_util.h"
#include "listgrid.h"
#include "startup.h"
#include "vcsio.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>

#include <cstdio>

namespace {

QString makeSample(const QString &folder)
{
    using namespace skedra;
    SessionState s;
    createHexCoder(s);
    const char16_t *summaries[] = {u"打合せ", u"歯医者", u"誕生日", u"出張（大阪）", u"買い物"};
    for (int i = 0; i < 5; ++i) {
        ScheduleEntry &e = s.ScheduleList[i];
        e[DtStartName] = QStringLiteral("DTSTART");
        e[DtStartValue] = QStringLiteral("2024031%1093000").arg(i + 1);
        e[DtEndName] = QStringLiteral("DTEND");
        e[SummaryName] = QStringLiteral("SUMMARY");
        e[SummaryParams] = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
        e[SummaryValue] = QString::fromUtf16(summaries[i]);
        e[DescriptionName] = QStringLiteral("DESCRIPTION");
        e[DescriptionParams] = e[SummaryParams];
        e[DescriptionValue] = QStringLiteral("会議室Ａで");
        e[DAlarmName] = QStringLiteral("DALARM");
        e[DAlarmValue] = i % 2 ? QStringLiteral("00000000000000;") : QStringLiteral("20240310090000;");
        e[ClassName] = QStringLiteral("CLASS");
        e[ClassValue] = i == 1 ? QStringLiteral("PRIVATE") : QStringLiteral("PUBLIC");
        e[CategoriesName] = QStringLiteral("CATEGORIES");
        e[CategoriesValue] = QStringLiteral("BUSINESS");
        e[PriorityName] = QStringLiteral("PRIORITY");
        e[PriorityValue] = QString::number(i % 3);
        e[StatusName] = QStringLiteral("STATUS");
        e[StatusValue] = i == 4 ? QStringLiteral("COMPLETED") : QStringLiteral("NEEDS ACTION");
        e[ComponentName] = i == 3 ? QStringLiteral("VTODO") : QStringLiteral("VEVENT");
    }
    s.SaveFileName = folder + QStringLiteral("/sample.vcs");
    s.FirstIndex = 1;
    s.LastIndex = MaxEntries;
    proc_write(s);
    return s.SaveFileName;
}

// The Edit menu opened from the menu bar with model V603SH, its stamp
// submenu beside it: a picture of the screen around the window and menus.
QPixmap editMenuPicture(skedra::frmMain &w)
{
    if (QAction *model = w.findChild<QAction *>(QStringLiteral("mnu603SH")))
        model->trigger();
    auto *edit = w.findChild<QMenu *>(QStringLiteral("mnuEdit"));
    auto *stamps = w.findChild<QMenu *>(QStringLiteral("mnuCate"));
    if (!edit || !stamps)
        return {};
    return skedra::test::menuPicture(w, edit, stamps);
}

// Opens the editor on grid row `row` with mnuEditLine; `prepare` may change
// the entry for this one edit.
void editRow(skedra::frmMain &w, int row, const std::function<void(skedra::ScheduleEntry &)> &prepare)
{
    skedra::ScheduleEntry &e = w.state().ScheduleList[row - 1];
    const skedra::ScheduleEntry kept = e;
    if (prepare)
        prepare(e);
    w.grid().setRow(row);
    w.findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    e = kept;
}

// The File menu opened from the menu bar, with the iCalendar items.
QPixmap fileMenuPicture(skedra::frmMain &w)
{
    auto *file = w.findChild<QMenu *>(QStringLiteral("mnuFile"));
    return file ? skedra::test::menuPicture(w, file) : QPixmap();
}

// The editor on grid row `row`, both tabs, saved as <stem>_alarm.png and
// <stem>_option.png. `prepare` may change WorkEntry before the editor loads.
bool editorPictures(skedra::frmMain &w, int row, const QString &stem,
                    const std::function<void(skedra::ScheduleEntry &)> &prepare = {})
{
    bool saved = true;
    int shown = 0;
    w.showModal = [&](QDialog &d) {
        ++shown;
        d.show();
        skedra::test::settle();
        saved = skedra::test::savePicture(d.grab(), stem + QStringLiteral("_alarm.png")) && saved;
        auto *tabs = d.findChild<QTabBar *>(QStringLiteral("TabStrip1"));
        if (tabs)
            tabs->setCurrentIndex(1);
        skedra::test::settle();
        saved = tabs && skedra::test::savePicture(d.grab(), stem + QStringLiteral("_option.png")) && saved;
        d.reject();
    };
    editRow(w, row, prepare);
    return saved && shown == 1;
}

// The older editor frmEdit of `model` ("SH52") on row 1, saved as `path`.
bool olderEditorPicture(skedra::frmMain &w, const char *model, const QString &path,
                        const std::function<void(skedra::ScheduleEntry &)> &prepare)
{
    w.findChild<QAction *>(QStringLiteral("mnu") + QLatin1String(model))->trigger();
    bool saved = false;
    w.showModal = [&](QDialog &d) {
        d.show();
        saved = d.objectName() == QLatin1String("frmEdit") && skedra::test::saveWindow(d, path);
        d.reject();
    };
    editRow(w, 1, prepare);
    return saved;
}

// The first row whose entry repeats weekly; row 1 when there is none.
int weeklyRow(const skedra::ScheduleList &list)
{
    for (int i = 0; i < list.count(); ++i) {
        if (list.at(i, skedra::RRuleValue).startsWith(QLatin1Char('W')))
            return i + 1;
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: main_screenshot FILE.vcs OUT.png\n");
        return 2;
    }
    QTemporaryDir tmp;
    skedra::test::keepSettingsIn(tmp.path());
    QString file = args[1];
    if (!QFileInfo(file).isFile())
        file = makeSample(tmp.path());

    skedra::frmMain w;
    w.resize(1100, 480);
    w.show();
    w.openCommandLine(file);
    skedra::test::settle();
    const QString out = args[2];
    const QString folder = QFileInfo(out).path();
    QDir().mkpath(folder);
    if (!skedra::test::savePicture(w.grab(), out))
        return 1;
    auto *toolbar = w.findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    if (!toolbar || !skedra::test::savePicture(toolbar->grab(), folder + QStringLiteral("/toolbar.png")))
        return 1;
    if (!skedra::test::savePicture(fileMenuPicture(w), folder + QStringLiteral("/file_menu.png")))
        return 1;
    if (!skedra::test::savePicture(editMenuPicture(w), folder + QStringLiteral("/edit_menu.png")))
        return 1;
    if (!editorPictures(w, weeklyRow(w.state().ScheduleList), folder + QStringLiteral("/editr_weekly")))
        return 1;
    const auto withoutEnd = [](skedra::ScheduleEntry &e) {
        e[skedra::DtEndValue].clear();
        e[skedra::RRuleValue].clear();
        e[skedra::YearlyValue].clear();
    };
    if (!editorPictures(w, 2, folder + QStringLiteral("/editr_noend"), withoutEnd))
        return 1;
    const auto alarmOn = [](skedra::ScheduleEntry &e) {
        using namespace skedra;
        const QString moment = e[DtStartValue].left(8) + QStringLiteral("083000");
        e[DAlarmName] = QStringLiteral("DALARM");
        e[DAlarmValue] = moment + QStringLiteral(";出発の準備");
        e[ShAlarmValue] = moment;
        e[SndName] = QStringLiteral("X-JPGSH-SND");
        e[SndValue] = QStringLiteral("0;4");
        e[CmbltNoName] = QStringLiteral("X-JPGSH-CMBLT-NO");
        e[CmbltNoValue] = QStringLiteral("ON1;2;5");
        e[PreAlarmName] = QStringLiteral("X-JPGSH-PREALARM");
        e[PreAlarmValue] = QStringLiteral("ON;PT3H");
        e[SnoozeName] = QStringLiteral("X-JPGSH-SNOOZE");
        e[SnoozeValue] = QStringLiteral("ON;PT7M");
        e[TelName] = QStringLiteral("X-JPGSH-TEL");
        e[TelValue] = QStringLiteral("090-1234-5678");
        e[AttachName] = QStringLiteral("X-JPGSH-ATTACH");
        e[AttachParams] = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");
        e[AttachValue] = QStringLiteral("gama-srgb-order-issue_304.png");
    };
    // The picture is looked for in the last picture folder.
    w.state().AttachmentFolders[static_cast<size_t>(skedra::AttachmentFolder::Image)] =
        QDir(QStringLiteral(SKEDRA_SHARED_DIR "/testdata/png-extra/image-png-tests/bugfixes")).absolutePath()
        + QLatin1Char('/');
    if (!editorPictures(w, 1, folder + QStringLiteral("/editr_alarm_on"), alarmOn))
        return 1;
    const auto alarmOff = [&alarmOn](skedra::ScheduleEntry &e) {
        alarmOn(e);
        e[skedra::DAlarmValue] = QStringLiteral("00000000000000;");
    };
    if (!editorPictures(w, 1, folder + QStringLiteral("/editr_alarm_off"), alarmOff))
        return 1;
    // The older editor: SH52 with the large lamp in ﾏｽｶｯﾄ (colour 3), SH51
    // whose lamp cannot be set.
    const auto olderAlarm = [&alarmOn](skedra::ScheduleEntry &e) {
        alarmOn(e);
        e[skedra::CmbltNoValue] = QStringLiteral("ON1;1;3");
    };
    for (const char *model : {"SH52", "SH51"}) {
        const QString path = folder + QStringLiteral("/edit_") + QLatin1String(model).toString().toLower()
            + QStringLiteral(".png");
        if (!olderEditorPicture(w, model, path, olderAlarm))
            return 1;
    }
    w.state().Dirty = QStringLiteral("0");
    return 0;
}
