// Pictures of the find dialogs and the telephone book:
//   find_screenshot FILE.vcs FOLDER
// saves FOLDER/find.png (frmFind for the start column with a text typed),
// FOLDER/find_results.png (frmFindEx with the hits) and FOLDER/address.png
// (the telephone book after importing a handset card and a phone's file).
// Settings and the book live in a temporary folder.
#include "frmeditadd.h"
#include "frmfind.h"
#include "frmmain.h"
#include "screenshot_util.h"
#include "scripted_dialogs.h"
#include "sjis.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    using namespace skedra;
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: find_screenshot FILE.vcs FOLDER\n");
        return 2;
    }
    QTemporaryDir tmp;
    test::keepSettingsIn(tmp.path());
    const QString folder = args[2];
    QDir().mkpath(folder);

    test::ScriptedDialogs dialogs;
    frmMain w(nullptr, &dialogs);
    w.resize(1100, 480);
    w.show();
    w.openCommandLine(args[1]);
    test::settle();

    w.FindColumn = 3;
    frmFind find(w, dialogs);
    find.show();
    find.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("2005/03"));
    if (!test::saveWindow(find, folder + QStringLiteral("/find.png")))
        return 1;
    find.Command1_Click();
    auto *results = w.findChild<frmFindEx *>(QStringLiteral("frmFindEx"));
    if (!results || !test::saveWindow(*results, folder + QStringLiteral("/find_results.png")))
        return 1;

    const QString card = tmp.filePath(QStringLiteral("handset.vcf"));
    QFile file(card);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(Sjis::encode(QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:山田;太郎;;;\r\n"
                                           "TEL;CELL:090-1234-5678\r\nTEL;HOME:03-3333-4444\r\nEND:VCARD\r\n")));
    file.close();
    dialogs.openFiles = {card, QStringLiteral(SKEDRA_SHARED_DIR "/testdata/vcard-corpus/gammu__se-1.vcf")};
    BookLocation at{tmp.filePath(QStringLiteral("data/address.txt")), QString()};
    frmEditAdd book(dialogs, &w, {}, at);
    book.show();
    book.btnImport_Click();
    book.btnImport_Click();
    if (!test::saveWindow(book, folder + QStringLiteral("/address.png")))
        return 1;
    dialogs.answers = {Answer::No};
    book.close();
    w.state().Dirty = QStringLiteral("0");
    return 0;
}
