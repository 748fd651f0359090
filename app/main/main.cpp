#include "frmmain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Skedra"));
    QCoreApplication::setApplicationName(QStringLiteral("Skedra"));
    skedra::frmMain w;
    w.show();
    return app.exec();
}
