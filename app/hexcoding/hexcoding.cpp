#include "hexcoding.h"

namespace skedra {

std::unique_ptr<HexCoding> createHexCodingObject(const QString &)
{
    return nullptr;
}

} // namespace skedra
