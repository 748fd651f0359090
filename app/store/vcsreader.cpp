// The .vcs reader: the file's calendar objects into entries of the table.
//
// Lines end with CR LF in handset files; a lone LF or a lone CR ends a line
// too (files from other programs use them, sometimes mixed). CP932 never uses
// the bytes CR and LF inside a double-byte character, so the whole file is
// converted at once and split afterwards.
#include "hexcoding.h"
#include "sjis.h"
#include "vcsio.h"
#include "vcsproperties.h"

#include <QStringDecoder>

#include <cstring>
#include <optional>

namespace skedra {

using vcs::operator""_sv;

namespace {

// Whether `text` at `at` holds `word` as a whole line (as LineCursor cuts
// lines).
bool lineAt(QStringView text, qsizetype at, QStringView word)
{
    if (at > 0 && text[at - 1] != u'\n' && text[at - 1] != u'\r')
        return false;
    const qsizetype e = at + word.size();
    return text.mid(at, word.size()) == word && (e == text.size() || text[e] == u'\n' || text[e] == u'\r');
}

// The entries a file holds: one for each calendar object (a line
// "BEGIN:VCALENDAR") and one more for each event or to-do after the first
// in one object. Found by searching for the text rather than cutting every
// line.
int countEntries(QStringView text)
{
    constexpr QStringView begin = u"BEGIN:V"_sv;
    int count = 0;
    int components = 0;  // in the object read last
    for (qsizetype p = text.indexOf(begin); p >= 0; p = text.indexOf(begin, p + 1)) {
        if (lineAt(text, p, u"BEGIN:VCALENDAR"_sv)) {
            ++count;
            components = 0;
        } else if ((lineAt(text, p, u"BEGIN:VEVENT"_sv) || lineAt(text, p, u"BEGIN:VTODO"_sv)) && ++components > 1) {
            ++count;
        }
    }
    return count;
}

// The file's text: CP932, except the 8-bit values that declare
// CHARSET=UTF-8 and are UTF-8. Such a line is read as UTF-8 when its value
// needs no further decoding (no "=": not quoted-printable, not continued on
// the next line) and it is no continuation of the line before; every other
// value is read as before, so that one that does not decode is kept as it
// came. (A quoted-printable value in UTF-8 is ASCII here; its bytes are
// decoded as UTF-8 when its property is read.) CP932 and UTF-8 never use
// the bytes CR and LF inside a character, so lines are cut before decoding.
// `invalid` receives the number of bytes that did not decode (read as
// U+FFFD).
QString decodeFile(const QByteArray &bytes, int *invalid)
{
    // "UTF-8" in any case ends in "-8": the file is looked through for a "-"
    // (rare in handset files) with the C library's search.
    bool mayHoldUtf8 = false;
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    for (const char *p = begin; p < end && !mayHoldUtf8; ++p) {
        p = static_cast<const char *>(std::memchr(p, '-', size_t(end - p)));
        if (!p)
            break;
        mayHoldUtf8 = p + 1 < end && p[1] == '8';
    }
    if (!mayHoldUtf8)
        return Sjis::decode(bytes, invalid);
    *invalid = 0;
    QString text;
    text.reserve(bytes.size());
    bool continuation = false;  // the line before ended with "="
    for (qsizetype from = 0; from < bytes.size();) {
        qsizetype end = from;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArray line = bytes.mid(from, end - from);
        const qsizetype colon = line.indexOf(':');
        std::optional<QString> utf8;
        if (!continuation && colon > 0 && line.indexOf('=', colon) < 0
            && vcs::declaresUtf8(QString::fromLatin1(line.left(colon)))) {
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString decoded = decoder.decode(line);
            if (!decoder.hasError())
                utf8 = std::move(decoded);
        }
        if (utf8) {
            text += *utf8;
        } else {
            int bad = 0;
            text += Sjis::decode(line, &bad);
            *invalid += bad;
        }
        continuation = line.endsWith('=');
        // One line end: CR LF, LF or a lone CR, as the reader cuts lines.
        if (end < bytes.size()) {
            const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            text += crlf ? QStringLiteral("\r\n") : QString(QLatin1Char(bytes[end]));
            end += crlf ? 2 : 1;
        }
        from = end;
    }
    return text;
}

StoreMessage message(StoreCode code, const QString &file, int line = 0, int number = 0)
{
    StoreMessage m;
    m.code = code;
    m.file = file;
    m.line = line;
    m.number = number;
    return m;
}

// Counts values that were kept as they came, for one message after reading.
struct Tally {
    int count = 0;
    int firstLine = 0;
    void add(int line, int n = 1)
    {
        if (n <= 0)
            return;
        if (count == 0)
            firstLine = line;
        count += n;
    }
};

class VcsReader {
public:
    VcsReader(SessionState &state, HexCoding &coder, QStringView text)
        : m_state(state)
        , m_cursor(text)
        , m_ctx{coder, m_cursor}
    {
    }

    // The second pass: every calendar object into the entries from
    // `entryNumber` (1-based) on, until the end of the file or the 500th
    // entry. An object holds one event or to-do in handset files; each
    // further one in the same object (desktop programs write many) takes an
    // entry of its own.
    void run(int entryNumber, int entriesTotal, const ReadProgress &progress, ReadResult &result,
             const QString &fileName)
    {
        m_entryNumber = entryNumber;
        int entriesSeen = 0;
        QStringView line;
        bool stopped = false;
        bool componentEnded = false;  // an event or to-do of this object ended
        // The next entry, once the one being filled ended; false when the
        // 500th ended (with the warning when more follow).
        const auto nextEntry = [&](int lineNo) {
            if (!finishEntry())
                return true;  // an object that held nothing takes no entry
            ++m_entryNumber;
            if (m_entryNumber <= MaxEntries)
                return true;
            if (entriesSeen < entriesTotal)
                result.messages.append(message(StoreCode::TooManyObjects, fileName, lineNo, entriesSeen + 1));
            return false;
        };
        const auto entryBegins = [&](int lineNo) {
            ++entriesSeen;
            m_objectLine = lineNo;
            if (progress)
                progress(entriesSeen, entriesTotal);
        };
        while (m_cursor.next(line)) {
            const int lineNo = m_cursor.lineNumber();
            if (line == u"BEGIN:VCALENDAR"_sv) {
                componentEnded = false;
                entryBegins(lineNo);
            }
            if (m_fffdLines && line.contains(QChar::ReplacementCharacter))
                m_notShiftJis.add(lineNo, int(line.count(QChar::ReplacementCharacter)));

            // The first ":" ends the name part; the first ";" before it ends
            // the name.
            const qsizetype colon = vcs::indexOfUnit(line, u':');
            const qsizetype semi = vcs::indexOfUnit(colon < 0 ? line : line.left(colon), u';');
            const QStringView namePart = colon < 0 ? line : line.left(colon);
            const QStringView value = colon < 0 ? QStringView() : line.mid(colon + 1);
            const QStringView name = semi < 0 ? namePart : namePart.left(semi);
            const QStringView params = semi < 0 ? QStringView() : namePart.mid(semi + 1);

            const bool component = value == u"VEVENT"_sv || value == u"VTODO"_sv;
            if (name == u"END"_sv) {
                componentEnded = componentEnded || component;
                if (value != u"VCALENDAR"_sv)
                    continue;
                componentEnded = false;
                if (!nextEntry(lineNo)) {
                    stopped = true;
                    break;
                }
                continue;
            }
            if (name == u"BEGIN"_sv) {
                if (value == u"VCALENDAR"_sv)
                    continue;
                if (component && componentEnded) {
                    componentEnded = false;
                    if (!nextEntry(lineNo)) {
                        stopped = true;
                        break;
                    }
                    entryBegins(lineNo);
                }
                current()[ComponentName] = m_ctx.sharedComponent(value);
                continue;
            }
            if (name == u"VERSION"_sv)
                continue;
            const vcs::PropertyRule *rule = vcs::findRule(name);
            if (!rule)
                continue;
            ScheduleEntry &entry = current();
            entry[nameSlot(rule->position)] = vcs::ruleName(*rule);
            vcs::readProperty(*rule, params, value, m_ctx, entry[paramsSlot(rule->position)],
                              entry[valueSlot(rule->position)]);
            if (m_ctx.keptAsRead || !entry[KeptAsRead].isEmpty())
                vcs::setKeptAsRead(entry, rule->position, m_ctx.keptAsRead);
            if (rule->position == Summary && rule->name == u"SUMMARY"_sv)
                m_summaries.remember(entry[SummaryValue]);
        }
        // A file that ends inside an object still keeps what that object held.
        if (!stopped && finishEntry())
            ++m_entryNumber;
        if (m_entryNumber == entryNumber)
            result.messages.append(message(StoreCode::NoObjects, fileName));

        if (m_notShiftJis.count > 0)
            result.messages.append(message(StoreCode::NotShiftJis, fileName, m_notShiftJis.firstLine,
                                           m_notShiftJis.count));
        if (m_ctx.badValues > 0)
            result.messages.append(message(StoreCode::BadValues, fileName, m_ctx.firstBadLine, m_ctx.badValues));
        if (m_missingStart.count > 0)
            result.messages.append(message(StoreCode::MissingStart, fileName, m_missingStart.firstLine,
                                           m_missingStart.count));
    }

    void setHasReplacementCharacters(bool any) { m_fffdLines = any; }

private:
    ScheduleEntry &current() { return m_state.ScheduleList[m_entryNumber - 1]; }

    // Closes the entry being filled. An object without DTSTART or DUE keeps
    // its properties with an empty start (otherwise it, and every entry after
    // it, would drop out of the list); one that held nothing is cleared so the
    // next object reuses its place. Returns whether the entry stays.
    bool finishEntry()
    {
        ScheduleEntry &entry = current();
        if (entry.exists())
            return true;
        bool any = false;
        for (int slot = 0; slot < SlotCount && !any; ++slot)
            any = slot != ComponentName && !entry[slot].isEmpty();
        if (!any) {
            entry.clear();
            return false;
        }
        entry[DtStartName] = entry[ComponentName] == u"VTODO"_sv ? QStringLiteral("DUE") : QStringLiteral("DTSTART");
        m_missingStart.add(m_objectLine);
        return true;
    }

    SessionState &m_state;
    vcs::LineCursor m_cursor;
    vcs::ReadContext m_ctx;
    int m_entryNumber = 1;
    SummaryRecorder m_summaries{m_state.SummaryHistory};
    int m_objectLine = 0;
    bool m_fffdLines = false;
    Tally m_notShiftJis;
    Tally m_missingStart;
};

} // namespace

ReadResult readVcsData(SessionState &state, const QByteArray &bytes, const QString &fileName,
                       const ReadProgress &progress)
{
    ReadResult result;
    if (!state.HexCoder) {
        result.messages.append(message(StoreCode::CoderMissing, fileName));
        return result;
    }
    if (bytes.size() > MaxFileBytes) {
        result.messages.append(message(StoreCode::TooLarge, fileName));
        return result;
    }
    const bool append = state.OpenMode == u"add";
    if (!append)
        state.clearList();

    int invalid = 0;
    const QString text = decodeFile(bytes, &invalid);
    // Only the text after the first ":" of the first line is tested.
    QStringView first;
    vcs::LineCursor(text).next(first);
    const qsizetype colon = first.indexOf(u':');
    QStringView field = colon < 0 ? QStringView() : first.mid(colon + 1);
    const qsizetype next = field.indexOf(u':');
    if (next >= 0)
        field = field.left(next);
    if (colon < 0 || field != u"VCALENDAR") {
        result.messages.append(message(StoreCode::NotVCalendar, fileName, 1));
        return result;
    }

    int entryNumber = 1;
    if (append) {
        entryNumber = state.ScheduleList.count() + 1;
        if (entryNumber > MaxEntries) {
            result.messages.append(message(StoreCode::ListFull, fileName));
            return result;
        }
    }

    const int entriesTotal = countEntries(text);

    result.read = true;
    result.firstEntry = entryNumber;
    VcsReader reader(state, *state.HexCoder, text);
    reader.setHasReplacementCharacters(invalid > 0);
    reader.run(entryNumber, entriesTotal, progress, result, fileName);
    return result;
}

} // namespace skedra
