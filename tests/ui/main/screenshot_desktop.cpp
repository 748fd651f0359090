// The desktop commands' menus in the real main window:
//   desktop_screenshot FILE.vcs FOLDER
// Opens two copies of FILE.vcs (so that the recent files list two), deletes
// a row, and saves edit_undo.png (the Edit menu with 元に戻す naming the
// delete) and file_recent.png (the File menu with 上書き保存 and the recent
// files submenu open) in FOLDER. The settings of this run live in a
// temporary folder.
#include "frmmain.h"
#include "screenshot_util.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Answers every question with Yes; no file dialog is needed.
class YesDialogs : public skedra::Dialogs {
public:
    skedra::Answer message(const QString &, const QString &, skedra::MessageIcon,
                           skedra::MessageButtons buttons) override
    {
        return buttons == skedra::MessageButtons::Ok ? skedra::Answer::Ok : skedra::Answer::Yes;
    }
    QString openFile(const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &) override { return {}; }
    QString selectFolder(const QString &) override { return {}; }
    std::optional<skedra::FontChoice> font(const skedra::FontChoice &) override { return std::nullopt; }
    std::optional<skedra::print::PrintChoice> printChoice(const QString &, const skedra::print::PrintChoice &preset,
                                                         const QString &, bool) override
    {
        return preset;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: desktop_screenshot FILE.vcs FOLDER\n");
        return 2;
    }
    QTemporaryDir tmp;
    skedra::test::keepSettingsIn(tmp.path() + QStringLiteral("/settings"));
    const QString older = tmp.filePath(QStringLiteral("schedule-2005.vcs"));
    const QString sample = tmp.filePath(QStringLiteral("sample.vcs"));
    if (!QFile::copy(args[1], older) || !QFile::copy(args[1], sample)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(args[1]));
        return 1;
    }
    const QString folder = args[2];
    QDir().mkpath(folder);

    YesDialogs dialogs;
    skedra::frmMain w(nullptr, &dialogs);
    w.resize(1100, 480);
    w.show();
    w.openCommandLine(older);
    w.openCommandLine(sample);
    skedra::test::settle();
    w.grid().setRow(2);
    w.findChild<QAction *>(QStringLiteral("mnuDEl"))->trigger();
    skedra::test::settle();

    auto *edit = w.findChild<QMenu *>(QStringLiteral("mnuEdit"));
    auto *file = w.findChild<QMenu *>(QStringLiteral("mnuFile"));
    auto *recent = w.findChild<QMenu *>(QStringLiteral("mnuRecent"));
    if (!edit || !file || !recent)
        return 1;
    if (!skedra::test::savePicture(skedra::test::menuPicture(w, edit), folder + QStringLiteral("/edit_undo.png")))
        return 1;
    if (!skedra::test::savePicture(skedra::test::menuPicture(w, file, recent), folder + QStringLiteral("/file_recent.png")))
        return 1;
    w.state().Dirty = QStringLiteral("0");
    return 0;
}
