// The .vcs writer: entries of the table as the handset's calendar objects,
// built whole in memory and then put in place through a temporary file.
#include "hexcoding.h"
#include "sjis.h"
#include "vcsio.h"
#include "vcsproperties.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace skedra {

using vcs::operator""_sv;

namespace {

// An entry whose component was never named (a file without "BEGIN:VEVENT")
// still gets a calendar object the handset can take: its component lines are
// written, as VTODO when the start is named "DUE" (a to-do's start) and as
// VEVENT otherwise, instead of being left out.
QString componentOf(const ScheduleEntry &entry)
{
    if (!entry[ComponentName].isEmpty())
        return entry[ComponentName];
    return entry[DtStartName] == u"DUE"_sv ? QStringLiteral("VTODO") : QStringLiteral("VEVENT");
}

void writeEntry(const ScheduleEntry &entry, vcs::WriteContext &ctx, vcs::TextOut &out)
{
    const QString component = componentOf(entry);
    out += u"BEGIN:VCALENDAR\r\nBEGIN:"_sv;
    out += component;
    out += u"\r\nVERSION:1.0\r\n"_sv;
    for (int p = 0; p < Component; ++p) {
        const QString &name = entry[nameSlot(p)];
        if (name.isEmpty())
            continue;
        vcs::writeProperty(vcs::findRule(name), name, entry[paramsSlot(p)], entry[valueSlot(p)], ctx, out,
                           vcs::isKeptAsRead(entry, p));
    }
    out += u"END:"_sv;
    out += component;
    out += u"\r\nEND:VCALENDAR\r\n"_sv;
}

// Whether a failed write was refused by the system (access denied, file in
// use) rather than failing for another reason.
StoreCode classifyWriteFailure(const QString &path, int error)
{
    if (error == EACCES || error == EPERM || error == EBUSY || error == ETXTBSY)
        return StoreCode::WriteInUse;
    const QFileInfo target(path);
    if (target.isFile() && !target.isWritable())
        return StoreCode::WriteInUse;
    return StoreCode::WriteFailed;
}

// Puts `bytes` in the file at `path`; false with errno set on failure. A
// regular file is replaced through a temporary file beside it, so a failed
// write leaves the old file whole; where no temporary file can be made (a
// folder the user may not write in) the file is written in place. A symbolic
// link is followed, so the link stays and its target gets the new contents;
// a FIFO or device is written in place, never replaced.
bool putFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile device(path);
        errno = 0;
        return device.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
            && device.write(bytes) == bytes.size();
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return false;
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = errno;
        file.cancelWriting();
        errno = error;
        return false;
    }
    errno = 0;
    return file.commit();
}

} // namespace

QByteArray renderVcsData(const SessionState &state, int *unencodable)
{
    if (unencodable)
        *unencodable = 0;
    if (!state.HexCoder)
        return QByteArray();
    vcs::WriteContext ctx{*state.HexCoder};
    const int first = std::max(1, state.FirstIndex);
    const int last = std::min(MaxEntries, state.LastIndex);
    // Room for the whole file as the coding object is normally set up (a
    // coded character takes at most six: two bytes, each "=" and two
    // digits); the text grows if that is not enough.
    qsizetype room = 0;
    for (int i = first; i <= last && state.ScheduleList[i - 1].exists(); ++i) {
        const ScheduleEntry &entry = state.ScheduleList[i - 1];
        room += 128 + 2 * entry[ComponentName].size();
        for (int p = 0; p < Component; ++p)
            room += 96 + entry[nameSlot(p)].size() + entry[paramsSlot(p)].size() + 6 * entry[valueSlot(p)].size();
    }
    vcs::TextOut text(room);
    for (int i = first; i <= last; ++i) {
        const ScheduleEntry &entry = state.ScheduleList[i - 1];
        if (!entry.exists())
            break;
        writeEntry(entry, ctx, text);
    }
    const QString out = text.take();
    int replaced = 0;
    QByteArray bytes = Sjis::encode(out, &replaced);
    if (unencodable)
        *unencodable = replaced + ctx.unencodable;
    return bytes;
}

QByteArray renderVcsEntry(const ScheduleEntry &entry, HexCoding &coder)
{
    vcs::WriteContext ctx{coder};
    vcs::TextOut text(1024);
    writeEntry(entry, ctx, text);
    return Sjis::encode(text.take());
}

WriteResult writeFileBytes(const QString &path, const QByteArray &bytes)
{
    WriteResult result;
    if (!putFile(path, bytes)) {
        const int error = errno;
        result.messages.append(storeMessage(classifyWriteFailure(path, error), path));
        return result;
    }
    result.written = true;
    return result;
}

WriteResult proc_write(SessionState &state)
{
    const QString &path = state.SaveFileName;
    if (!state.HexCoder) {
        WriteResult result;
        result.messages.append(storeMessage(StoreCode::CoderMissing, path));
        return result;
    }
    int unencodable = 0;
    WriteResult result = writeFileBytes(path, renderVcsData(state, &unencodable));
    if (result.written && unencodable > 0)
        result.messages.append(storeMessage(StoreCode::Unencodable, path, unencodable));
    return result;
}

} // namespace skedra
