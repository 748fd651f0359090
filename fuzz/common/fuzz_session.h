// The session a fuzz target reads .vcs bytes into: one for the whole run,
// as in the program, with the quoted-printable coder set up once.
#pragma once

#include "hexcoding.h"
#include "session.h"

#include <cstdlib>

namespace skedra::fuzz {

inline SessionState &session()
{
    static SessionState state;
    if (!state.HexCoder) {
        state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
        if (!state.HexCoder)
            std::abort();
        state.HexCoder->SetAddChar(QStringLiteral("="));
        state.HexCoder->SetMode(QStringLiteral("1"));
    }
    return state;
}

// The session emptied for the next input, in "new" mode; with `existing`
// above 0 in "add" mode onto that many entries.
//
// Entries are filled in table order, so an input leaves texts only in the
// entries before the first that does not exist and in that one (an object
// that took no entry). Emptying those rather than all 500 x 90 texts keeps
// the per-input cost down.
inline SessionState &emptySession(int existing = 0)
{
    SessionState &state = session();
    const int used = qMin(state.ScheduleList.count() + 1, MaxEntries);
    for (int i = 0; i < used; ++i)
        state.ScheduleList[i].clear();
    state.Dirty = QStringLiteral("0");
    state.OpenMode = QStringLiteral("new");
    if (existing > 0) {
        for (int i = 0; i < existing; ++i) {
            state.ScheduleList.at(i, DtStartName) = QStringLiteral("DTSTART");
            state.ScheduleList.at(i, DtStartValue) = QStringLiteral("20050101000000");
        }
        state.OpenMode = QStringLiteral("add");
    }
    return state;
}

} // namespace skedra::fuzz
