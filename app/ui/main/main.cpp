#include "filecommands.h"
#include "frmmain.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Skedra"));
    QCoreApplication::setApplicationName(QStringLiteral("Skedra"));
    // The desktop entry's name and icon, for every window of the run.
    QGuiApplication::setDesktopFileName(QStringLiteral("skedra"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/skedra-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // Standard buttons in Japanese: はい / いいえ / キャンセル.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    const QString commandLine = skedra::commandLineFromArguments(app.arguments().mid(1));
    skedra::frmMain w;
    w.show();
    w.openCommandLine(commandLine);
    return app.exec();
}
