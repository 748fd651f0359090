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

// The session emptied for the next input, with `existing` entries (0 to
// 500) in it, in "add" mode.
//
// Entries are filled in table order, so an input leaves texts only in the
// entries before the first that does not exist and in that one (an object
// that took no entry). Emptying those rather than all 500 x 90 texts keeps
// the per-input cost down. For the same reason an input is never read in
// "new" mode, whose first step empties all 500 entries: "add" onto the
// emptied list reads the file into the same entries from the first on.
inline SessionState &emptySession(int existing = 0)
{
    SessionState &state = session();
    const int used = qMin(state.ScheduleList.count() + 1, MaxEntries);
    for (int i = 0; i < used; ++i)
        state.ScheduleList[i].clear();
    state.Dirty = QStringLiteral("0");
    state.OpenMode = QStringLiteral("add");
    for (int i = 0; i < existing; ++i) {
        state.ScheduleList.at(i, DtStartName) = QStringLiteral("DTSTART");
        state.ScheduleList.at(i, DtStartValue) = QStringLiteral("20050101000000");
    }
    return state;
}

// Declared first in a target's entry point: when the input ends, empties
// what it left in the session (its entries and summaries), so that what the
// input allocated is freed again. libFuzzer scans the whole heap for leaks
// after every input that allocated more than it freed; left in place until
// the next input, the entries would make that every input.
struct InputScope {
    InputScope() = default;
    InputScope(const InputScope &) = delete;
    InputScope &operator=(const InputScope &) = delete;
    ~InputScope()
    {
        SessionState &state = emptySession();
        state.SummaryHistory.fill(QString());
    }
};

} // namespace skedra::fuzz
