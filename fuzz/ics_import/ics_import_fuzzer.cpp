// Fuzz entry point: any bytes as an .ics file (whole, so that real files
// are seeds as they are), imported onto a list that already holds a few
// entries: 0 to 3 by the input's size, or 496 when the size is a multiple
// of 7. The entries there before must stay as they were, and what was
// imported onto a short list must go through export and import again into
// the same .vcs bytes (onto the nearly full list only the limit is checked:
// a round trip of 500 entries would take most of the run's time).
#include "fuzz_session.h"
#include "icalendar.h"
#include "newentry.h"
#include "session.h"
#include "vcsio.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" {
#include <libical/ical.h>
}

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
    fuzz::InputScope scope;
    // libical keeps its temporary strings in a ring it frees only as the
    // ring turns over. Freed after each input, they do not look like a leak
    // to libFuzzer, which otherwise scans the heap after every input.
    struct RingFreed {
        ~RingFreed() { icalmemory_free_ring(); }
    } ringFreed;
    const int existing = size % 7 == 0 ? 496 : int(size % 4);
    SessionState &state = fuzz::emptySession(existing);
    const ScheduleEntry placeholder = state.ScheduleList[0];
    const auto newEntry = [](const QString &start) {
        return makeNewEntryAt(QStringLiteral("603SH"), EntryDefaults{}, start);
    };
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ics::ImportResult imported = ics::importIcs(state.ScheduleList, bytes, newEntry);
    const int count = state.ScheduleList.count();
    if (count > MaxEntries || count != existing + imported.added)
        std::abort();
    for (int i = 0; i < existing; ++i) {
        if (!(state.ScheduleList[i] == placeholder))
            std::abort();
    }
#ifdef SKEDRA_FUZZ_IMPORT_ONLY
    return 0;  // the ics_read target
#endif
    if (!imported.read || existing >= 4 || (existing > 0 && count >= MaxEntries))
        return 0;

    const QByteArray once = rendered(state);
    const ics::ExportResult exported = ics::exportEntries(state.ScheduleList, *state.HexCoder, 1, MaxEntries);
    fuzz::emptySession();
    ics::importIcs(state.ScheduleList, exported.bytes, newEntry);
    if (state.ScheduleList.count() != count || rendered(state) != once)
        std::abort();
    return 0;
}
