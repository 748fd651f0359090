#include "startup.h"

#include "hexcoding.h"

namespace skedra {

void createHexCoder(SessionState &state)
{
    state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
    if (state.HexCoder) {
        state.HexCoder->SetAddChar(QStringLiteral("="));
        state.HexCoder->SetMode(QStringLiteral("1"));
    }
}

} // namespace skedra
