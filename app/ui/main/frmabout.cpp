#include "frmabout.h"

#include "version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace skedra {

QString versionText()
{
    return QStringLiteral("Ver.%1.%2%3")
        .arg(SKEDRA_VERSION_MAJOR)
        .arg(SKEDRA_VERSION_MINOR)
        .arg(SKEDRA_VERSION_PATCH);
}

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Skedra") + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    auto *name = new QLabel(QStringLiteral("Skedra"), this);
    name->setObjectName(QStringLiteral("lblTitle"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(buttons);
}

} // namespace skedra
