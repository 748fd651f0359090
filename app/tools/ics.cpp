// skedra-vcs to-ics IN.vcs OUT.ics and from-ics IN.ics OUT.vcs: the
// iCalendar bridge of the File menu from the command line.
#include "commands.h"

#include "icalendar.h"
#include "models.h"
#include "newentry.h"
#include "settings.h"

#include <QFile>

namespace skedra::tool {

int runToIcs(const QStringList &args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: skedra-vcs to-ics IN.vcs OUT.ics\n"));
        return 1;
    }
    SessionState state;
    if (!readForCommand(state, args[0]))
        return 1;
    const ics::ExportResult exported = ics::exportEntries(state.ScheduleList, *state.HexCoder, 1, MaxEntries);
    const WriteResult written = writeFileBytes(args[1], exported.bytes);
    printMessages(written.messages);
    if (exported.rulesNotAgreeing > 0)
        printErr(QStringLiteral("note: %1 repeat rule(s) cannot be shown on the calendar's days by a calendar "
                                "program; written without repeat, with a COMMENT\n")
                     .arg(exported.rulesNotAgreeing));
    return written.written ? 0 : 1;
}

int runFromIcs(const QStringList &args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: skedra-vcs from-ics IN.ics OUT.vcs\n"));
        return 1;
    }
    SessionState state;
    if (!prepareState(state))
        return 1;
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        printMessages({storeMessage(StoreCode::OpenFailed, args[0])});
        return 1;
    }
    const QByteArray bytes = file.read(ics::MaxIcsBytes + 1);
    // New entries as the program's add command makes them: the stored
    // model and entry defaults.
    const SettingsStore settings;
    const QString model = modelProfileOrDefault(settings.modelCode()).code;
    const EntryDefaults defaults = settings.entryDefaults();
    const ics::ImportResult imported = ics::importIcs(
        state.ScheduleList, bytes, [&](const QString &start) { return makeNewEntryAt(model, defaults, start); },
        args[0]);
    printMessages(imported.messages);
    if (const QString note = imported.noteText(); !note.isEmpty())
        printErr(ics::importNoteTitle() + QStringLiteral(": ") + note.trimmed().replace(u'\n', u' ') + u'\n');
    if (!imported.read)
        return 1;
    state.SaveFileName = args[1];
    state.FirstIndex = 1;
    state.LastIndex = MaxEntries;
    const WriteResult written = proc_write(state);
    printMessages(written.messages);
    return written.written ? 0 : 1;
}

} // namespace skedra::tool
