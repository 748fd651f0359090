#include "session.h"

#include "hexcoding.h"

namespace skedra {

SessionState::SessionState() = default;
SessionState::~SessionState() = default;

void SessionState::clearList()
{
    ScheduleList.clear();
    Dirty = QStringLiteral("0");
}

} // namespace skedra
