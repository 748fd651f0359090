// Every reader on inputs of 1, 4, 16 and 64 MiB in the shapes that cost it
// most, made in memory: the .vcs reader, the vCard import into the book, the
// book file, the iCalendar import and the picture preview (PNG through
// Rasterly). For each case it prints the speed in MB/s (10^6 bytes a
// second) and the peak memory over the input size.
//
// Goals: at least 10 MB/s on every shape at 64 MiB, time growing linearly
// (64 MiB within 5x the time of 16 MiB), peak memory under 8x the input.
// Rows that miss a goal are marked; an input a reader refuses for its size
// is shown as refused, without speed.
//
// How memory is measured: each case runs in a child process of its own
// (fork). The child makes the input, gives freed memory back to the system
// (malloc_trim), resets the kernel's peak resident-size mark
// (/proc/self/clear_refs, "5") and notes its resident size; after the read
// the peak mark (VmHWM) less that size is what the read added. The readers
// given their input in memory take their file whole in the program, so the
// input itself is counted once more on top; the telephone book and the
// preview are given a file (in /dev/shm), and what they read of it is
// counted in what the read added. Before the peak is reset the child reads
// a 64 KiB input of the same shape once, so that what any first read costs
// (code, converter and collation tables, the window's state) is not
// counted. Time is the fastest of up to three reads in the child.
//
//   bench_hostile [READER] [SIZE_MIB...]   e.g. bench_hostile vCard 16 64
#include "addressbook.h"
#include "bookfile.h"
#include "entrydefaults.h"
#include "hexcoding.h"
#include "icalendar.h"
#include "newentry.h"
#include "pngpicture.h"
#include "session.h"
#include "sjis.h"
#include "startup.h"
#include "vcard.h"
#include "vcsio.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <zlib.h>

#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace skedra;

namespace {

constexpr qsizetype MiB = 1024 * 1024;
constexpr int TimeoutSeconds = 120;

// ---- inputs -------------------------------------------------------------

// `head`, then `unit` as often as it fits before `tail` within `size`.
QByteArray repeated(qsizetype size, const QByteArray &head, const QByteArray &unit, const QByteArray &tail)
{
    QByteArray out;
    out.reserve(size);
    out += head;
    while (out.size() + unit.size() + tail.size() <= size)
        out += unit;
    out += tail;
    return out;
}

// Units made by `unit(n)` for n = 0, 1, ... as long as they fit.
QByteArray counted(qsizetype size, const QByteArray &head, const std::function<QByteArray(int)> &unit,
                   const QByteArray &tail)
{
    QByteArray out;
    out.reserve(size);
    out += head;
    for (int n = 0;; ++n) {
        const QByteArray u = unit(n);
        if (out.size() + u.size() + tail.size() > size)
            break;
        out += u;
    }
    out += tail;
    return out;
}

// Lines of about 1 MiB of `fill` without a colon.
QByteArray longLines(qsizetype size, const QByteArray &head, char fill)
{
    QByteArray out;
    out.reserve(size);
    out += head;
    while (out.size() < size) {
        const qsizetype n = std::min<qsizetype>(MiB, size - out.size()) - 2;
        if (n <= 0)
            break;
        out += QByteArray(n, fill);
        out += "\r\n";
    }
    return out;
}

const QByteArray LineEnds = "\r\r\n\n";  // a lone CR, CR LF, LF

const QByteArray VcsHead = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nDTSTART:20050401T000000Z\r\n";
const QByteArray VcsTail = "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
const QByteArray VcsQp = "DESCRIPTION;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:";

const QByteArray CardHead = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
const QByteArray CardTail = "\r\nTEL:1\r\nEND:VCARD\r\n";
const QByteArray CardQp = "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";

const QByteArray IcsHead = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
const QByteArray IcsEventHead = "BEGIN:VEVENT\r\nUID:1@bench\r\nDTSTAMP:20240101T000000Z\r\n"
                                "DTSTART:20240101T100000Z\r\nSUMMARY:x\r\n";

// A long description folded every 75 octets, as RFC 5545 folds.
QByteArray foldedDescription(qsizetype size)
{
    QByteArray out;
    out.reserve(size);
    out += IcsHead + IcsEventHead + "DESCRIPTION:";
    const QByteArray tail = "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    qsizetype column = 12;
    while (out.size() + 4 + tail.size() <= size) {
        if (column == 75) {
            out += "\r\n ";
            column = 1;
        }
        out += 'a';
        ++column;
    }
    out += tail;
    return out;
}

QByteArray deepNesting(qsizetype size)
{
    const QByteArray begin = "BEGIN:X-A\r\n", end = "END:X-A\r\n";
    const QByteArray tail = "END:VCALENDAR\r\n";
    const qsizetype depth = (size - IcsHead.size() - tail.size()) / (begin.size() + end.size());
    QByteArray out;
    out.reserve(size);
    out += IcsHead;
    for (qsizetype i = 0; i < depth; ++i)
        out += begin;
    for (qsizetype i = 0; i < depth; ++i)
        out += end;
    out += tail;
    return out;
}

// ---- PNG ----------------------------------------------------------------

void appendBe32(QByteArray &out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(v >> shift));
}

void appendChunk(QByteArray &out, const char *type, const char *data, qsizetype size)
{
    appendBe32(out, quint32(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data, size);
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(out.constData() + start), uInt(size + 4));
    appendBe32(out, quint32(crc));
}

QByteArray ihdr(quint32 width, quint32 height, int colourType)
{
    QByteArray data;
    appendBe32(data, width);
    appendBe32(data, height);
    data += char(8);
    data += char(colourType);
    data += QByteArray(3, '\0');
    return data;
}

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

// The preview's largest picture (8000 x 8000, RGBA) whose stream holds no
// row at all; the rest of the file is one text chunk.
QByteArray hugeDeclaredPng(qsizetype size)
{
    QByteArray out = PngSignature;
    out.reserve(size);
    const QByteArray header = ihdr(8000, 8000, 6);
    appendChunk(out, "IHDR", header.constData(), header.size());
    const QByteArray empty = QByteArray::fromHex("7801010000ffff00000001");
    appendChunk(out, "IDAT", empty.constData(), empty.size());
    const qsizetype text = size - out.size() - 12 - 12;
    QByteArray comment("Comment", 8);  // keyword and its zero byte
    comment += QByteArray(text - comment.size(), 'x');
    appendChunk(out, "tEXt", comment.constData(), comment.size());
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

// An RGB picture 1024 pixels wide whose stored (uncompressed) stream comes
// in IDAT chunks of one byte each.
QByteArray tinyChunksPng(qsizetype size)
{
    constexpr quint32 width = 1024;
    const qsizetype rowBytes = 1 + 3 * width;
    const qsizetype streamBytes = (size - 8 - 25 - 12) / 13;
    const quint32 height = quint32(std::max<qsizetype>(1, streamBytes * 9 / 10 / rowBytes));
    QByteArray raw(qsizetype(height) * rowBytes, '\0');
    quint32 seed = 1;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        raw[i] = i % rowBytes == 0 ? '\0' : char(seed >> 24);
    }
    uLongf compressedSize = compressBound(uLong(raw.size()));
    QByteArray stream(qsizetype(compressedSize), '\0');
    compress2(reinterpret_cast<Bytef *>(stream.data()), &compressedSize,
              reinterpret_cast<const Bytef *>(raw.constData()), uLong(raw.size()), 0);
    stream.truncate(qsizetype(compressedSize));
    QByteArray out = PngSignature;
    out.reserve(size);
    const QByteArray header = ihdr(width, height, 2);
    appendChunk(out, "IHDR", header.constData(), header.size());
    for (const char byte : std::as_const(stream))
        appendChunk(out, "IDAT", &byte, 1);
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

// ---- readers --------------------------------------------------------------

struct Outcome {
    std::string note;
    bool refused = false;
};

std::string codeName(StoreCode code)
{
    switch (code) {
    case StoreCode::TooLarge: return "too large";
    case StoreCode::TooManyObjects: return "500 entries";
    case StoreCode::NoObjects: return "no objects";
    case StoreCode::NotShiftJis: return "not Shift_JIS";
    case StoreCode::BadValues: return "bad values";
    case StoreCode::MissingStart: return "no start";
    case StoreCode::BrokenICalendar: return "broken";
    case StoreCode::NotICalendar: return "not iCalendar";
    case StoreCode::NotVCalendar: return "not vCalendar";
    default: return "code " + std::to_string(int(code));
    }
}

std::string messagesNote(const QList<StoreMessage> &messages)
{
    std::string out;
    for (const StoreMessage &m : messages)
        out += (out.empty() ? "" : ", ") + codeName(m.code);
    return out;
}

Outcome readVcs(const QByteArray &bytes)
{
    // The window's state, made once as the window makes it at start.
    static SessionState state;
    if (!state.HexCoder)
        createHexCoder(state);
    int seen = 0;
    int total = 0;
    const ReadResult r = readVcsData(state, bytes, QStringLiteral("bench.vcs"), [&](int s, int t) {
        seen = s;
        total = t;
    });
    Outcome o;
    o.refused = !r.read;
    o.note = std::to_string(state.ScheduleList.count()) + " entries, " + std::to_string(seen) + " of "
        + std::to_string(total) + " objects read";
    if (!r.messages.isEmpty())
        o.note += "; " + messagesNote(r.messages);
    return o;
}

Outcome importVCard(const QByteArray &bytes)
{
    const VCardRecords read = readVCardData(bytes);
    AddressBook book;
    const bool taken = book.importRecords(read.records);
    return {std::to_string(read.records.size()) + " records" + (taken ? "" : ", more than the book takes"), false};
}

const QString BookPath = QStringLiteral("/dev/shm/bench_hostile_%1.txt").arg(getpid());

// The book window's reading: the file, then the rows sorted.
Outcome loadBookFile(const QByteArray &)
{
    QList<AddressRecord> records;
    const BookMessage m = loadBook({BookPath, QString()}, records);
    AddressBook book;
    book.load(records);
    if (m.code == BookCode::TooLarge)
        return {"too large", true};
    return {std::to_string(book.rowCount()) + " rows", false};
}

Outcome importIcs(const QByteArray &bytes)
{
    ScheduleList list;
    const ics::ImportResult r = ics::importIcs(
        list, bytes, [](const QString &start) { return makeNewEntryAt(QStringLiteral("603SH"), EntryDefaults{}, start); },
        QStringLiteral("bench.ics"));
    Outcome o;
    o.refused = !r.read && !r.messages.isEmpty() && r.messages.first().code == StoreCode::TooLarge;
    o.note = std::to_string(r.added) + " added, " + std::to_string(r.skipped) + " skipped";
    if (!r.messages.isEmpty())
        o.note += "; " + messagesNote(r.messages);
    return o;
}

const QString PngPath = QStringLiteral("/dev/shm/bench_hostile_%1.png").arg(getpid());

Outcome previewPng(const QByteArray &)
{
    const QImage image = loadPreviewPicture(PngPath);
    if (image.isNull())
        return {"no picture", false};
    return {std::to_string(image.width()) + "x" + std::to_string(image.height()), false};
}

struct Case {
    const char *reader;
    const char *shape;
    std::function<QByteArray(qsizetype)> make;
    std::function<Outcome(const QByteArray &)> read;
    bool fileWhole = true;  // the reader holds the whole file in memory
    QString file;           // the reader reads the input from this file
};

std::vector<Case> cases()
{
    return {
        {".vcs", "one huge value",
         [](qsizetype s) { return repeated(s, VcsHead + VcsQp, "=82=A0", VcsTail); }, readVcs},
        {".vcs", "endless soft breaks",
         [](qsizetype s) { return repeated(s, VcsHead + VcsQp + "=\r\n", "=82=A0=\r\n", "x" + VcsTail); }, readVcs},
        // Objects that hold nothing take no entry: all of them are read.
        {".vcs", "tiny objects",
         [](qsizetype s) {
             return repeated(s, {}, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", {});
         },
         readVcs},
        // Objects that each make an entry: reading stops after the 500th,
        // once every object of the file has been counted.
        {".vcs", "tiny entries",
         [](qsizetype s) {
             return repeated(s, {}, "BEGIN:VCALENDAR\r\nDTSTART:20050401T000000Z\r\nEND:VCALENDAR\r\n", {});
         },
         readVcs},
        {".vcs", "only line ends", [](qsizetype s) { return repeated(s, "BEGIN:VCALENDAR\r\n", LineEnds, {}); },
         readVcs},
        {".vcs", "long lines, no colon", [](qsizetype s) { return longLines(s, "BEGIN:VCALENDAR\r\n", 'A'); },
         readVcs},

        {"vCard", "one huge value",
         [](qsizetype s) { return repeated(s, CardHead + CardQp, "=E5=B1=B1", CardTail); }, importVCard},
        {"vCard", "endless soft breaks",
         [](qsizetype s) { return repeated(s, CardHead + CardQp + "=\r\n", "=E5=B1=B1=\r\n", "x" + CardTail); },
         importVCard},
        {"vCard", "folded lines ending in =",
         [](qsizetype s) { return repeated(s, CardHead + "NOTE:x=\r\n", " y=\r\n", "z" + CardTail); }, importVCard},
        {"vCard", "tiny cards",
         [](qsizetype s) { return repeated(s, {}, "BEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n", {}); }, importVCard},
        {"vCard", "only line ends", [](qsizetype s) { return repeated(s, "BEGIN:VCARD\r\n", LineEnds, {}); },
         importVCard},
        {"vCard", "long lines, no colon", [](qsizetype s) { return longLines(s, "BEGIN:VCARD\r\n", 'A'); },
         importVCard},

        {"book", "records",
         [](qsizetype s) {
             return counted(
                 s, {},
                 [](int n) {
                     return "090-" + QByteArray::number(10000000 + n) + "," + Sjis::encode(QStringLiteral("山田太郎"))
                         + "\r\n";
                 },
                 {});
         },
         loadBookFile, false, BookPath},
        {"book", "tiny records", [](qsizetype s) { return repeated(s, {}, "1,a\r\n", {}); }, loadBookFile, false,
         BookPath},
        {"book", "only line ends", [](qsizetype s) { return repeated(s, {}, LineEnds, {}); }, loadBookFile, false,
         BookPath},
        {"book", "long lines", [](qsizetype s) { return longLines(s, "1,", 'a'); }, loadBookFile, false, BookPath},

        {".ics", "one huge VEVENT",
         [](qsizetype s) {
             return repeated(s, IcsHead + IcsEventHead, "COMMENT:a comment\r\n", "END:VEVENT\r\nEND:VCALENDAR\r\n");
         },
         importIcs},
        {".ics", "tiny VEVENTs",
         [](qsizetype s) {
             return counted(
                 s, IcsHead,
                 [](int n) {
                     return "BEGIN:VEVENT\r\nUID:" + QByteArray::number(n)
                         + "\r\nDTSTART:20240101T100000Z\r\nSUMMARY:a\r\nEND:VEVENT\r\n";
                 },
                 "END:VCALENDAR\r\n");
         },
         importIcs},
        {".ics", "deep nesting", deepNesting, importIcs},
        {".ics", "long folded lines", foldedDescription, importIcs},

        {"PNG", "huge declared, tiny stream", hugeDeclaredPng, previewPng, false, PngPath},
        {"PNG", "tiny chunks", tinyChunksPng, previewPng, false, PngPath},
    };
}

// ---- running ----------------------------------------------------------------

long statusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void resetPeak()
{
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (f) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

struct Figures {
    double seconds = -1;  // fastest read; -1 when it did not finish
    double peak = 0;      // peak memory over input size
    qsizetype bytes = 0;
    std::string note;
    bool refused = false;
};

// Runs in the child: makes the input, reads it, writes one line of figures:
// seconds, refused (0/1), peak over input, input bytes, note.
void runCase(const Case &c, qsizetype size, int fd, int argc, char **argv)
{
    QCoreApplication app(argc, argv);  // the preview binds Rasterly from the program's folder
    // The input of `n` bytes in memory, or in c.file.
    qsizetype bytes = 0;
    const auto prepare = [&](qsizetype n) {
        QByteArray input = c.make(n);
        bytes = input.size();
        if (!c.file.isEmpty()) {
            QFile f(c.file);
            if (!f.open(QIODevice::WriteOnly) || f.write(input) != bytes)
                _exit(2);
            input = QByteArray();
        }
        return input;
    };
    // What the first read of any input costs once (code pages, converter
    // and collation tables, the window's state) is paid by a read of a
    // small input of the same shape before the peak is reset.
    c.read(prepare(64 * 1024));
    const QByteArray input = prepare(size);
    malloc_trim(0);
    resetPeak();
    const long before = statusKiB("VmRSS:");
    double best = 1e300;
    double ratio = 0;
    Outcome outcome;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        outcome = c.read(input);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, s);
        if (run == 0) {
            const double added = double(std::max(0L, statusKiB("VmHWM:") - before)) * 1024.0;
            ratio = added / double(bytes) + (c.fileWhole ? 1.0 : 0.0);
        }
        if (s > 5)
            break;
    }
    if (!c.file.isEmpty())
        QFile::remove(c.file);
    char buf[4096];
    const int n = std::snprintf(buf, sizeof buf, "%.6g %d %.6g %lld %s\n", best, outcome.refused ? 1 : 0, ratio,
                                static_cast<long long>(bytes), outcome.note.c_str());
    if (write(fd, buf, size_t(std::min<int>(n, int(sizeof buf) - 1))) < 0)
        _exit(3);
}

Figures measure(const Case &c, qsizetype size, int argc, char **argv)
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0)
        return {};
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFd[0]);
        runCase(c, size, pipeFd[1], argc, argv);
        _exit(0);
    }
    close(pipeFd[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(TimeoutSeconds);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{pipeFd[0], POLLIN, 0};
        if (poll(&p, 1, int(left.count())) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = read(pipeFd[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, size_t(n));
    }
    if (timedOut)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(pipeFd[0]);
    Figures f;
    if (timedOut) {
        f.note = "did not finish in " + std::to_string(TimeoutSeconds) + " s";
        return f;
    }
    double seconds = 0, ratio = 0;
    int refused = 0;
    long long bytes = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%lf %d %lf %lld %n", &seconds, &refused, &ratio, &bytes, &used) < 4) {
        f.note = WIFSIGNALED(status) ? "crashed (signal " + std::to_string(WTERMSIG(status)) + ")" : "failed";
        return f;
    }
    f.seconds = seconds;
    f.refused = refused != 0;
    f.peak = ratio;
    f.bytes = qsizetype(bytes);
    f.note = text.substr(size_t(used));
    while (!f.note.empty() && f.note.back() == '\n')
        f.note.pop_back();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    std::string only;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.empty() && std::isdigit(static_cast<unsigned char>(arg[0])))
            sizes.push_back(std::stoi(arg));
        else
            only = arg;
    }
    if (sizes.empty())
        sizes = {1, 4, 16, 64};

    std::printf("%-6s %-28s %7s %9s %9s %8s  %s\n", "reader", "shape", "MiB", "MB/s", "peak/in", "goal",
                "what it read");
    int misses = 0;
    for (const Case &c : cases()) {
        if (!only.empty() && only != c.reader)
            continue;
        // Time of each size read (not refused), for the test of linear time:
        // the largest size against the one a quarter of it.
        std::map<int, double> seconds;
        for (const int mib : sizes) {
            const Figures f = measure(c, qsizetype(mib) * MiB, argc, argv);
            const double mbs = f.seconds < 0 ? 0 : double(f.bytes) / 1e6 / std::max(f.seconds, 1e-9);
            std::string goal;
            if (f.seconds < 0) {
                goal = "MISS";
            } else {
                if (!f.refused)
                    seconds[mib] = f.seconds;
                if (f.peak >= 8)
                    goal += "mem ";
                if (mib == sizes.back() && !f.refused && mbs < 10)
                    goal += "speed ";
                if (mib == sizes.back() && !f.refused && seconds.count(mib / 4) && f.seconds > 5 * seconds[mib / 4])
                    goal += "linear ";
                goal = goal.empty() ? (f.refused ? "refused" : "ok") : "MISS " + goal;
            }
            if (goal.rfind("MISS", 0) == 0)
                ++misses;
            if (f.seconds < 0 || f.refused)
                std::printf("%-6s %-28s %7d %9s %8.1fx %8s  %s\n", c.reader, c.shape, mib, "-", f.peak, goal.c_str(),
                            f.note.c_str());
            else
                std::printf("%-6s %-28s %7d %9.1f %8.1fx %8s  %s\n", c.reader, c.shape, mib, mbs, f.peak,
                            goal.c_str(), f.note.c_str());
            std::fflush(stdout);
        }
    }
    std::printf("%d figure(s) miss their goal\n", misses);
    return 0;
}
