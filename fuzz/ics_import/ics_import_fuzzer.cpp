// Fuzz entry point: any bytes as an .ics file (whole, so that real files
// are seeds as they are), imported onto a list that already holds a few
// entries: 0 to 3 by the input's size, or 496 when the size is a multiple
// of 7. The entries there before must stay as they were, and what was
// imported must go through export and import again into the same .vcs
// bytes.
#include "icalendar.h"
#include "newentry.h"
#include "session.h"
#include "startup.h"
#include "vcsio.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace skedra;

namespace {

QByteArray rendered(SessionState &state)
{
    state.FirstIndex = 1;
    state.LastIndex = MaxEntries;
    return renderVcsData(state);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static SessionState state;
    if (!state.HexCoder)
        createHexCoder(state);  // as the program sets it up
    if (!state.HexCoder)
        std::abort();
    state.clearList();
    const int existing = size % 7 == 0 ? 496 : int(size % 4);
    for (int i = 0; i < existing; ++i) {
        state.ScheduleList.at(i, DtStartName) = QStringLiteral("DTSTART");
        state.ScheduleList.at(i, DtStartValue) = QStringLiteral("20050101000000");
    }
    const ScheduleList before = state.ScheduleList;
    const auto newEntry = [](const QString &start) {
        return makeNewEntryAt(QStringLiteral("603SH"), EntryDefaults{}, start);
    };
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ics::ImportResult imported = ics::importIcs(state.ScheduleList, bytes, newEntry);
    const int count = state.ScheduleList.count();
    if (count > MaxEntries || count != existing + imported.added)
        std::abort();
    for (int i = 0; i < existing; ++i) {
        if (!(state.ScheduleList[i] == before[i]))
            std::abort();
    }
    if (!imported.read || (existing > 0 && existing + imported.added >= MaxEntries))
        return 0;

    const QByteArray once = rendered(state);
    const ics::ExportResult exported = ics::exportEntries(state.ScheduleList, 1, MaxEntries);
    state.clearList();
    ics::importIcs(state.ScheduleList, exported.bytes, newEntry);
    if (state.ScheduleList.count() != count || rendered(state) != once)
        std::abort();
    return 0;
}
