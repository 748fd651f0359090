// Shared set-up of the .vcs tests: a run state with the coding object the
// program uses, and files built from lines.
#pragma once

#include "hexcoding.h"
#include "session.h"
#include "sjis.h"
#include "vcsio.h"

#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace skedra::test {

inline void setUpCoder(SessionState &state)
{
    state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
    ASSERT_TRUE(state.HexCoder);
    state.HexCoder->SetAddChar(QStringLiteral("="));
    state.HexCoder->SetMode(QStringLiteral("1"));
}

// Lines joined with CR LF after each, as CP932.
inline QByteArray vcsBytes(const QStringList &lines)
{
    return Sjis::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// One calendar object around the given property lines.
inline QStringList object(const QStringList &properties, const QString &component = QStringLiteral("VEVENT"))
{
    return QStringList{QStringLiteral("BEGIN:VCALENDAR"), QStringLiteral("BEGIN:") + component,
                       QStringLiteral("VERSION:1.0")}
        + properties + QStringList{QStringLiteral("END:") + component, QStringLiteral("END:VCALENDAR")};
}

class VcsTest : public ::testing::Test {
protected:
    void SetUp() override { setUpCoder(state); }

    ReadResult read(const QByteArray &bytes, const QString &mode = QStringLiteral("new"))
    {
        state.OpenMode = mode;
        return readVcsData(state, bytes, QStringLiteral("test.vcs"));
    }
    ReadResult read(const QStringList &lines, const QString &mode = QStringLiteral("new"))
    {
        return read(vcsBytes(lines), mode);
    }
    // Entries first..last as the writer writes them, decoded for comparison.
    QString written(int first = 1, int last = MaxEntries)
    {
        state.FirstIndex = first;
        state.LastIndex = last;
        return Sjis::decode(renderVcsData(state));
    }
    // How the writer codes a text.
    QString coded(const QString &text) { return state.HexCoder->Encode(text).toUpper().replace(u'+', u' '); }
    const QString &at(int entry, int slot) const { return state.ScheduleList.at(entry, slot); }

    SessionState state;
};

inline const StoreMessage *findMessage(const QList<StoreMessage> &messages, StoreCode code)
{
    for (const StoreMessage &m : messages) {
        if (m.code == code)
            return &m;
    }
    return nullptr;
}

} // namespace skedra::test
