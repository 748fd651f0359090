// The properties of the handset's .vcs dialect: which names land at which
// position of an entry, and how each value is read and written. One table
// drives both directions, so a property's read sits beside its write.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <optional>

namespace skedra {

class HexCoding;
struct ScheduleEntry;

namespace vcs {

// A text view whose length is fixed when compiled: QStringView(u"...")
// measures its literal every time, which shows in loops over every line.
constexpr QStringView operator""_sv(const char16_t *text, size_t size)
{
    return QStringView(text, qsizetype(size));
}

// How a property's value is treated on the way in and out.
enum class Rule {
    DateTime,         // DTSTART, DUE: UTC date-time
    DateTimeOrEmpty,  // DTEND, COMPLETED: UTC date-time or empty
    Text,             // SUMMARY, DESCRIPTION: quoted-printable, cut to byteLimit on output
    From,             // X-JPG-FROM: quoted-printable with one continuation line
    Sound,            // X-JPGSH-SND: quoted-printable file names for "1;" values
    Alarm,            // DALARM: date-time ";" quoted-printable message
    ShAlarm,          // X-JPGSH-ALARM: date-time, all zeros = not set
    NoDispDefWin,     // X-JPGSH-NODISPDEFWIN: held in the opposite sense
    Attach,           // X-JPGSH-ATTACH: a two-line quoted-printable file name
    UnlessOff,        // X-JPGSH-NOAUTODEL, X-JPGSH-PREALARM: omitted when "OFF"
    UnlessEmpty,      // X-JPGSH-CALCOLOR: omitted when empty
    Plain,            // everything else: as read, as held
};

struct PropertyRule {
    QStringView name;
    int position;
    Rule rule;
    int byteLimit;  // Text only: Shift_JIS bytes kept on output
};

// The rule for a property name (compared exactly, upper case), or null for a
// name the reader ignores and the writer writes unchanged.
const PropertyRule *findRule(QStringView name);

// The Shift_JIS bytes the writer keeps of a summary, a description and an
// alarm message; longer texts are cut (TruncateBytes).
inline constexpr int SummaryBytes = 16;
inline constexpr int DescriptionBytes = 128;
inline constexpr int AlarmMessageBytes = 120;

// The fixed parameters of X-JPGSH-ATTACH, in memory and in the file.
inline constexpr QStringView AttachParams = u"CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=";
// DALARM / X-JPGSH-ALARM "not set".
inline constexpr QStringView ZeroDateTime14 = u"00000000000000";
inline constexpr QStringView ZeroFileDateTime = u"00000000T000000Z";

// A file date-time ("yyyymmddThhmmssZ"; "T" and "Z" optional, "Z" = UTC) as
// a local DateTime14 with seconds "00"; nullopt when it is not 8 + 6 digits
// of a real date and time, or the result falls outside the years 1-9999.
std::optional<QString> fileToLocal(QStringView value);

// A held DateTime14 as the file's UTC form "yyyymmddThhmm00Z"; nullopt when
// it is not 14 digits of a real local date and time.
std::optional<QString> localToFile(QStringView value);

class TextOut;

// The same as localToFile, appended to `out`; false (and nothing appended)
// when localToFile would give nullopt.
bool appendLocalToFile(QStringView value, TextOut &out);

// The first `c` in `text`, or -1. Lines are short, so a search that starts
// at once beats a library call per line.
qsizetype indexOfUnit(QStringView text, char16_t c);

// The lines of the file being read, for values that continue on the lines
// after their property line. A line ends at CR LF, at LF or at a lone CR;
// the line end is not part of the line. Lines are found as they are read.
class LineCursor {
public:
    explicit LineCursor(QStringView text)
        : m_text(text)
    {
    }
    // The next line, counting it; false at the end of the file.
    bool next(QStringView &line)
    {
        const qsizetype size = m_text.size();
        if (m_pos >= size)
            return false;
        // The next LF is searched for once and kept, so a file whose lines
        // end with CR alone is not searched to its end for every line.
        if (m_lf < m_pos) {
            const qsizetype lf = indexOfUnit(m_text.mid(m_pos), u'\n');
            m_lf = lf < 0 ? size : m_pos + lf;
        }
        const QStringView upToLf = m_text.mid(m_pos, m_lf - m_pos);
        const qsizetype cr = indexOfUnit(upToLf, u'\r');
        if (cr >= 0 && cr + 1 < upToLf.size()) {
            line = upToLf.left(cr);  // a lone CR
            m_pos += cr + 1;
        } else {
            line = cr < 0 ? upToLf : upToLf.left(cr);  // LF, CR LF or the end
            m_pos = m_lf + 1;
        }
        ++m_count;
        return true;
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    // 1-based number of the line read last.
    int lineNumber() const { return m_count; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_lf = -1;  // the LF at or after m_pos, or the text's size
    int m_count = 0;
};

// What reading one property needs besides the line itself.
struct ReadContext {
    HexCoding &coder;
    LineCursor &lines;
    int badValues = 0;     // values kept as read because they did not convert
    int firstBadLine = 0;  // line of the first of them
    bool keptAsRead = false;  // the value readProperty gave last is kept as read
    bool utf8 = false;        // the property being read declares CHARSET=UTF-8
    // The last parameters and plain value read at each position: files
    // repeat them from entry to entry, and an equal text is shared rather
    // than copied.
    QString lastParams[30];
    bool lastUtf8[30] = {};  // whether lastParams declare CHARSET=UTF-8
    QString lastValue[30];
    QString lastComponent;

    // The component name ("VEVENT", "VTODO") as the entry holds it.
    QString sharedComponent(QStringView name)
    {
        if (name.isEmpty())
            return name.toString();
        if (lastComponent != name)
            lastComponent = name.toString();
        return lastComponent;
    }
};

// Whether the value at `position` of the entry is held as the file had it
// (a value that did not decode or convert) and is unchanged since. The
// entry's KeptAsRead slot marks such positions; the writer writes their
// values back exactly as read. setKeptAsRead marks the value held now.
bool isKeptAsRead(const ScheduleEntry &entry, int position);
void setKeptAsRead(ScheduleEntry &entry, int position, bool kept);

// Whether a property's parameters declare CHARSET=UTF-8 (in any case).
bool declaresUtf8(QStringView params);

// Reads one property line's value by its rule. `params` and `value` are the
// parts of the line; continuation lines are taken from ctx.lines. Sets
// `paramsOut` and `valueOut` to what the entry holds, and ctx.keptAsRead.
// A value that declares CHARSET=UTF-8 is decoded as UTF-8 and held with
// CHARSET=SHIFT_JIS, the set the writer writes it in.
void readProperty(const PropertyRule &rule, QStringView params, QStringView value, ReadContext &ctx,
                  QString &paramsOut, QString &valueOut);

// The rule's name as a shared text (the same for every entry).
const QString &ruleName(const PropertyRule &rule);

// The text of a file being written: pieces are copied into one buffer that
// grows only when a piece does not fit (QString::append costs more per
// call than most pieces take to copy).
class TextOut {
public:
    explicit TextOut(qsizetype room)
        : m_text(room > 0 ? room : 0, Qt::Uninitialized)
    {
        m_begin = reinterpret_cast<char16_t *>(m_text.data());
        m_end = m_begin + m_text.size();
        m_w = m_begin;
    }

    TextOut &operator+=(QStringView piece)
    {
        const qsizetype n = piece.size();
        if (n == 0)
            return *this;
        if (m_end - m_w < n)
            grow(n);
        std::memcpy(m_w, piece.utf16(), size_t(n) * sizeof(char16_t));
        m_w += n;
        return *this;
    }

    TextOut &operator+=(char16_t c)
    {
        if (m_w == m_end)
            grow(1);
        *m_w++ = c;
        return *this;
    }

    // The text written, leaving this empty.
    QString take()
    {
        m_text.truncate(m_w - m_begin);
        m_begin = m_w = m_end = nullptr;
        return std::move(m_text);
    }

private:
    void grow(qsizetype n)
    {
        const qsizetype used = m_w - m_begin;
        m_text.resize(std::max(used + n, 2 * m_text.size() + 64));
        m_begin = reinterpret_cast<char16_t *>(m_text.data());
        m_end = m_begin + m_text.size();
        m_w = m_begin + used;
    }

    QString m_text;
    char16_t *m_begin = nullptr;
    char16_t *m_end = nullptr;
    char16_t *m_w = nullptr;
};

// What writing needs besides the entry.
struct WriteContext {
    HexCoding &coder;
    int unencodable = 0;  // characters of coded values written as "?"
    QString coded;        // the coder's result, before it is copied out
};

// Appends the line(s) for one held property, each ended by CR LF; nothing
// when its rule omits it. `rule` is findRule(name), possibly null. A value
// `keptAsRead` (isKeptAsRead) is written as the file had it.
void writeProperty(const PropertyRule *rule, const QString &name, const QString &params, const QString &value,
                   WriteContext &ctx, TextOut &out, bool keptAsRead = false);

// Appends the coded text of `text`: Encode, upper-cased, "+" as space (how
// every coded value is written).
void appendCodedText(const QString &text, WriteContext &ctx, TextOut &out);

} // namespace vcs
} // namespace skedra
