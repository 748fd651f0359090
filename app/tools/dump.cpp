// skedra-vcs dump FILE: every non-empty slot of every entry as the reader
// left it, one "entry<TAB>slot<TAB>text" line each.
#include "commands.h"

namespace skedra::tool {

namespace {

// Keeps one slot on one line: backslash, tab, CR and LF are escaped.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += u"\\\\"; break;
        case u'\t': out += u"\\t"; break;
        case u'\r': out += u"\\r"; break;
        case u'\n': out += u"\\n"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

int runDump(const QStringList &args)
{
    if (args.size() != 1) {
        printErr(QStringLiteral("usage: skedra-vcs dump FILE.vcs\n"));
        return 1;
    }
    SessionState state;
    if (!prepareState(state))
        return 1;
    const ReadResult result = openNew(state, args[0]);
    if (result.read) {
        QString out;
        const int count = state.ScheduleList.count();
        for (int i = 0; i < count; ++i) {
            for (int slot = 0; slot < SlotCount; ++slot) {
                const QString &text = state.ScheduleList.at(i, slot);
                if (!text.isEmpty())
                    out += QString::number(i) + u'\t' + QString::number(slot) + u'\t' + escaped(text) + u'\n';
            }
        }
        printOut(out);
    }
    std::fflush(stdout);
    printMessages(result.messages);
    return result.read ? 0 : 1;
}

} // namespace skedra::tool
