// Fuzz entry point: any bytes as a .vcs file. The first byte picks the list
// it is read onto (odd: one that already holds entries, 490 to 499 of them
// when it is 0xF0 or above; even: an empty one); the rest is the file. Whatever
// was read is written back and read again, which must give the same bytes.
#include "fuzz_session.h"
#include "vcsio.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace skedra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::InputScope scope;
    // Mostly onto a short list; onto a nearly full one now and then.
    const bool add = data[0] & 1;
    const int existing = !add ? 0 : data[0] >= 0xF0 ? 490 + data[0] % 10 : 1 + data[0] % 3;
    SessionState &state = fuzz::emptySession(existing);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const ReadResult read = readVcsData(state, bytes);
    const int count = state.ScheduleList.count();
    if (count > MaxEntries)
        std::abort();
    if (!read.read || count == existing)
        return 0;

    // What was read is written (the entries that were there are not: on a
    // nearly full list they would be most of the work) and reads back into
    // as many entries and the same bytes, unless characters had to be
    // written as "?" (the user is told): a value kept as read because it
    // did not decode may decode once its unreadable bytes are "?".
    state.FirstIndex = existing + 1;
    state.LastIndex = MaxEntries;
    int unencodable = 0;
    const QByteArray once = renderVcsData(state, &unencodable);
    if (unencodable > 0)
        return 0;
    fuzz::emptySession();
    readVcsData(state, once);
    if (state.ScheduleList.count() != count - existing)
        std::abort();
    state.FirstIndex = 1;
    if (renderVcsData(state) != once)
        std::abort();
    return 0;
}
