// The table-driven CP932 conversion, the date-time shift and the coded-text
// fast path of the writer, checked against their definitions.
#include "hexcoding.h"
#include "session.h"
#include "sjis.h"
#include "vcsio.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

using namespace skedra;

TEST(SjisTables, EncodableMeansEncodedWithoutReplacementAndBackUnchanged)
{
    // Every BMP character alone and between ASCII neighbours: the quick
    // answer of isEncodable must be the definition's.
    for (char32_t u = 1; u < 0x10000; ++u) {
        const QString one = QString(QChar(char16_t(u)));
        const QString inside = QStringLiteral("a") + one + QStringLiteral("z");
        for (const QString &text : {one, inside}) {
            int replaced = -1;
            const QByteArray bytes = Sjis::encode(text, &replaced);
            const bool definition = replaced == 0 && Sjis::decode(bytes) == text;
            ASSERT_EQ(Sjis::isEncodable(text), definition) << std::hex << unsigned(u);
        }
    }
}

TEST(SjisTables, EveryBytePairDecodesToOneCharacterOrReplacements)
{
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const char raw[2] = {char(lead), char(trail)};
            int invalid = -1;
            const QString text = Sjis::decode(QByteArray(raw, 2), &invalid);
            ASSERT_GE(text.size(), 1);
            ASSERT_LE(text.size(), 2);
            ASSERT_EQ(text.count(QChar::ReplacementCharacter), invalid) << lead << " " << trail;
            if (text.size() == 1 && invalid == 0) {
                // A pair: it encodes back to bytes that read as the same character.
                ASSERT_EQ(Sjis::decode(Sjis::encode(text)), text) << lead << " " << trail;
            }
        }
    }
}

TEST(SjisTables, LongMixedTextsSurviveTheBlockPaths)
{
    // ASCII runs longer than a block, broken by double-byte characters at
    // every offset.
    QRandomGenerator rng(7);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int pieces = int(rng.bounded(12));
        for (int i = 0; i < pieces; ++i) {
            text += QString(int(rng.bounded(40)), QChar(u'a' + int(rng.bounded(26))));
            text += rng.bounded(2) ? QStringLiteral("漢") : QStringLiteral("ｶ");
        }
        int replaced = -1;
        const QByteArray bytes = Sjis::encode(text, &replaced);
        EXPECT_EQ(replaced, 0);
        EXPECT_EQ(Sjis::decode(bytes), text);
    }
}

TEST(SjisTables, TruncateBytesAtTheEdgeOfTheShortcut)
{
    // Eight double-byte characters are exactly 16 bytes; nine are cut.
    EXPECT_EQ(TruncateBytes(QStringLiteral("あいうえおかきく"), 16), QStringLiteral("あいうえおかきく"));
    EXPECT_EQ(TruncateBytes(QStringLiteral("あいうえおかきくけ"), 17), QStringLiteral("あいうえおかきく "));
    EXPECT_EQ(TruncateBytes(QStringLiteral("あいうえおかきくけ"), 16), QStringLiteral("あいうえおかきく"));
    // Two UTF-16 units that make one byte ("?") are within the limit as
    // they are; over it, the kept characters stay as they were.
    EXPECT_EQ(TruncateBytes(QStringLiteral("😀"), 1), QStringLiteral("😀"));
    EXPECT_EQ(TruncateBytes(QStringLiteral("😀😀😀"), 2), QStringLiteral("😀😀"));
}

namespace {

struct Rig {
    SessionState state;
    Rig()
    {
        state.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
        state.HexCoder->SetAddChar(QStringLiteral("="));
        state.HexCoder->SetMode(QStringLiteral("1"));
    }
    QString readStart(const QString &fileValue)
    {
        const QByteArray file = "BEGIN:VCALENDAR\r\nDTSTART:" + fileValue.toLatin1() + "\r\nEND:VCALENDAR\r\n";
        readVcsData(state, file);
        return state.ScheduleList.at(0, DtStartValue);
    }
    QByteArray writeStart(const QString &held)
    {
        state.clearList();
        state.ScheduleList.at(0, DtStartName) = QStringLiteral("DTSTART");
        state.ScheduleList.at(0, DtStartValue) = held;
        state.FirstIndex = state.LastIndex = 1;
        const QByteArray out = renderVcsData(state);
        const qsizetype at = out.indexOf("DTSTART:") + 8;
        return out.mid(at, out.indexOf('\r', at) - at);
    }
};

} // namespace

TEST(VcsDateTimes, NineHoursAcrossDaysMonthsYearsAndLeapDays)
{
    Rig rig;
    const struct {
        const char *file;
        const char *local;
    } rows[] = {
        {"20041231T150000Z", "20050101000000"},  // into the next year
        {"20040228T150000Z", "20040229000000"},  // leap day
        {"20050228T150000Z", "20050301000000"},  // no leap day
        {"21000228T150000Z", "21000301000000"},  // century without one
        {"20000228T150000Z", "20000229000000"},  // 400-year leap day
        {"20050430T145959Z", "20050430235900"},  // seconds dropped, day kept
        {"20050430T150000", "20050430150000"},   // local: unchanged
        {"99991231T145900Z", "99991231235900"},  // last writable minute
    };
    for (const auto &row : rows)
        EXPECT_EQ(rig.readStart(QString::fromLatin1(row.file)), QString::fromLatin1(row.local)) << row.file;
    // Past 9999, before year 1 or not a date: kept as read.
    for (const char *kept : {"99991231T150000Z", "00001231T150000Z", "20050230T000000Z", "20050101T240000Z"})
        EXPECT_EQ(rig.readStart(QString::fromLatin1(kept)), QString::fromLatin1(kept)) << kept;

    EXPECT_EQ(rig.writeStart(QStringLiteral("20050101000000")), "20041231T150000Z");
    EXPECT_EQ(rig.writeStart(QStringLiteral("20040301080000")), "20040229T230000Z");
    EXPECT_EQ(rig.writeStart(QStringLiteral("00010101080000")), "00010101080000");  // year 0: as held
    EXPECT_EQ(rig.writeStart(QStringLiteral("00010101090000")), "00010101T000000Z");
}

TEST(CodedTextForFile, IsEncodeRaisedWithPlusAsSpaceForEverySetting)
{
    QRandomGenerator rng(3);
    const QStringList addChars = {QStringLiteral("="), QStringLiteral("%"), QStringLiteral("=="),
                                  QStringLiteral("ア"), QStringLiteral("+")};
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("+"),
                                QStringLiteral("漢字"), QStringLiteral("〜"), QStringLiteral("😀"),
                                QStringLiteral("0"), QStringLiteral("ⅰ")};
    for (const QString &add : addChars) {
        auto coder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
        coder->SetAddChar(add);
        coder->SetMode(QStringLiteral("0"));
        for (int round = 0; round < 300; ++round) {
            QString text;
            for (int i = int(rng.bounded(10)); i > 0; --i)
                text += pieces.at(int(rng.bounded(qsizetype(pieces.size()))));
            QString expected = coder->Encode(text);
            const bool failed = coder->lastCallFailed();
            if (expected.contains(QRegularExpression(QStringLiteral("\\p{Ll}"))))
                expected = expected.toUpper();
            expected.replace(u'+', u' ');
            QString out = QStringLiteral("x");
            coder->EncodeForFile(text, out);
            EXPECT_EQ(out, QStringLiteral("x") + expected) << add.toStdString() << " " << text.toStdString();
            EXPECT_EQ(coder->lastCallFailed(), failed);
        }
    }
}
