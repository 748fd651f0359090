// skedra-vcs dump FILE: every non-empty slot of every entry as the reader
// left it, one "entry<TAB>slot<TAB>text" line each.
#include "commands.h"

namespace skedra::tool {

int runDump(const QStringList &args)
{
    if (args.size() != 1) {
        printErr(QStringLiteral("usage: skedra-vcs dump FILE.vcs\n"));
        return 1;
    }
    return printFromFile(args[0], [](const SessionState &state) {
        QString out;
        const int count = state.ScheduleList.count();
        for (int i = 0; i < count; ++i) {
            for (int slot = 0; slot < SlotCount; ++slot) {
                const QString &text = state.ScheduleList.at(i, slot);
                if (!text.isEmpty())
                    out += QString::number(i) + u'\t' + QString::number(slot) + u'\t' + oneLine(text) + u'\n';
            }
        }
        return out;
    });
}

} // namespace skedra::tool
