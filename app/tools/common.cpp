#include "commands.h"

#include "hexcoding.h"

namespace skedra::tool {

void printOut(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printErr(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

QString oneLine(const QString &text)
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

bool prepareState(SessionState &state)
{
    state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
    if (!state.HexCoder) {
        printMessages({StoreMessage{StoreCode::CoderMissing, QString(), 0, 0}});
        return false;
    }
    state.HexCoder->SetAddChar(QStringLiteral("="));
    state.HexCoder->SetMode(QStringLiteral("1"));
    return true;
}

ReadResult openNew(SessionState &state, const QString &path)
{
    state.OpenFileName = path;
    state.OpenMode = QStringLiteral("new");
    return proc_open(state);
}

bool readForCommand(SessionState &state, const QString &path)
{
    if (!prepareState(state))
        return false;
    const ReadResult read = openNew(state, path);
    printMessages(read.messages);
    return read.read;
}

void printMessages(const QList<StoreMessage> &messages)
{
    for (const StoreMessage &m : messages) {
        QString text = m.text();
        text.replace(u'\n', u' ');
        printErr(m.title() + QStringLiteral(": ") + text.trimmed() + u'\n');
    }
}

int printFromFile(const QString &path, const std::function<QString(const SessionState &)> &render)
{
    SessionState state;
    if (!prepareState(state))
        return 1;
    const ReadResult result = openNew(state, path);
    if (result.read)
        printOut(render(state));
    std::fflush(stdout);
    printMessages(result.messages);
    return result.read ? 0 : 1;
}

} // namespace skedra::tool
