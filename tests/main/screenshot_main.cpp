// Opens a .vcs file in the real main window and saves a picture of it:
//   main_screenshot FILE.vcs OUT.png
// When FILE.vcs does not exist a small file with Japanese entries is made
// and shown instead.
#include "frmmain.h"
#include "startup.h"
#include "vcsio.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

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
    QString file = args[1];
    if (!QFileInfo(file).isFile())
        file = makeSample(tmp.path());

    skedra::frmMain w;
    w.resize(1100, 480);
    w.show();
    w.openCommandLine(file);
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    const QString out = args[2];
    QDir().mkpath(QFileInfo(out).path());
    if (!w.grab().save(out)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
