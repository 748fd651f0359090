#include "filecommands.h"
#include "frmmain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Skedra"));
    QCoreApplication::setApplicationName(QStringLiteral("Skedra"));

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
