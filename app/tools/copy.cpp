// skedra-vcs copy IN OUT: IN read as by File, Open, New and written whole
// to OUT as by File, Save as.
#include "commands.h"

namespace skedra::tool {

int runCopy(const QStringList &args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: skedra-vcs copy IN.vcs OUT.vcs\n"));
        return 1;
    }
    SessionState state;
    if (!readForCommand(state, args[0]))
        return 1;
    state.SaveFileName = args[1];
    state.FirstIndex = 1;
    state.LastIndex = MaxEntries;
    const WriteResult written = proc_write(state);
    printMessages(written.messages);
    return written.written ? 0 : 1;
}

} // namespace skedra::tool
