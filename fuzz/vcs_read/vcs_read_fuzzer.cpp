// Fuzz entry point: any bytes as a .vcs file, read only. The first byte
// picks the list it is read onto (odd: one that already holds one to three
// entries; even: an empty one); the rest is the file. The list never grows past
// its size.
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
    SessionState &state = fuzz::emptySession(data[0] & 1 ? 1 + data[0] % 3 : 0);
    readVcsData(state, QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    if (state.ScheduleList.count() > MaxEntries)
        std::abort();
    return 0;
}
