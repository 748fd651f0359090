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

void printMessages(const QList<StoreMessage> &messages)
{
    for (const StoreMessage &m : messages) {
        QString text = m.text();
        text.replace(u'\n', u' ');
        printErr(m.title() + QStringLiteral(": ") + text.trimmed() + u'\n');
    }
}

} // namespace skedra::tool
