#include "vcslist.h"

#include "gridrender.h"
#include "listgrid.h"
#include "session.h"
#include "startup.h"
#include "vcsio.h"

#include <cstdio>

namespace skedra {

namespace {

void writeUtf8(std::FILE *out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out);
}

QString oneLine(QString cell)
{
    cell.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    cell.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    cell.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    cell.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return cell;
}

} // namespace

bool listRowsOfFile(const QString &path, QList<QStringList> *rows, QStringList *messages)
{
    SessionState state;
    createHexCoder(state);
    state.OpenFileName = path;
    state.OpenMode = QStringLiteral("new");
    const ReadResult result = proc_open(state);
    if (messages) {
        for (const StoreMessage &m : result.messages)
            messages->append(m.title() + QStringLiteral(": ") + m.text());
    }
    if (!result.read)
        return false;

    ListGrid grid;
    grid.setFormatString(headerFormatFor(state.ModelCode));
    fitGridToList(state.ScheduleList, grid, true);
    const int n = state.ScheduleList.count();
    for (int r = 1; r <= n; ++r) {
        QStringList cols;
        for (int c = 1; c < GridColumns; ++c)
            cols.append(grid.text(r, c));
        rows->append(cols);
    }
    return true;
}

int runListCommand(const QStringList &args)
{
    QStringList words = args;
    if (words.size() == 2 && words.first() == QLatin1String("list"))
        words.removeFirst();
    if (words.size() != 1) {
        writeUtf8(stderr, QStringLiteral("usage: skedra-vcs list FILE.vcs\n"));
        return 1;
    }
    QList<QStringList> rows;
    QStringList messages;
    const bool ok = listRowsOfFile(words.first(), &rows, &messages);
    for (const QString &m : messages)
        writeUtf8(stderr, oneLine(m) + QLatin1Char('\n'));
    if (!ok)
        return 1;
    QString out;
    for (const QStringList &cols : rows) {
        QStringList cells;
        for (const QString &c : cols)
            cells.append(oneLine(c));
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    writeUtf8(stdout, out);
    std::fflush(stdout);
    return 0;
}

} // namespace skedra
