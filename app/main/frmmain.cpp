#include "frmmain.h"

#include "hexcoding.h"
#include "version.h"

namespace skedra {

QString windowTitleText()
{
    return QStringLiteral("Skedra Ver.%1.%2%3")
        .arg(SKEDRA_VERSION_MAJOR)
        .arg(SKEDRA_VERSION_MINOR)
        .arg(SKEDRA_VERSION_PATCH);
}

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    m_state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
    if (m_state.HexCoder) {
        m_state.HexCoder->SetAddChar(QStringLiteral("="));
        m_state.HexCoder->SetMode(QStringLiteral("1"));
    }
    setWindowTitle(windowTitleText());
    resize(7700 / 15, 3000 / 15);
}

} // namespace skedra
