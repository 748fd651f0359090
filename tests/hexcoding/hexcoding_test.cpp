// The quoted-printable coding object as the reader and writer use it.
#include "hexcoding.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

using skedra::createHexCodingObject;
using skedra::HexCoding;

namespace {

// Set up as the main window does.
std::unique_ptr<HexCoding> programCoder()
{
    auto coder = createHexCodingObject(QString::fromLatin1(skedra::HexCodingProgId));
    if (coder) {
        coder->SetAddChar(QStringLiteral("="));
        coder->SetMode(QStringLiteral("1"));
    }
    return coder;
}

// What the writer does to an encoded value before it reaches the file.
QString asWritten(const QString &encoded)
{
    QString s = encoded.toUpper();
    s.replace(QLatin1Char('+'), QLatin1Char(' '));
    return s;
}

// Pieces the generated texts are made of: ASCII with the characters that
// matter to the coding, kana of both widths, kanji, and CP932's own
// extensions.
const QStringList &pieces()
{
    static const QStringList p = {
        QStringLiteral("a"), QStringLiteral("Z"), QStringLiteral("q"), QStringLiteral("0"),
        QStringLiteral("9"), QStringLiteral(" "), QStringLiteral("  "), QStringLiteral("+"),
        QStringLiteral("="), QStringLiteral("=3D"), QStringLiteral("%"), QStringLiteral("~"),
        QStringLiteral("\\"), QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("abc"),
        QStringLiteral("あ"), QStringLiteral("ガ"), QStringLiteral("ｶﾞ"), QStringLiteral("ｱ"),
        QStringLiteral("ｰ"), QStringLiteral("漢字"), QStringLiteral("会議"), QStringLiteral("表"),
        QStringLiteral("ソ"), QStringLiteral("①"), QStringLiteral("㈱"), QStringLiteral("～"),
        QStringLiteral("∥"), QStringLiteral("　"), QStringLiteral("ＡＢＣ"), QStringLiteral("髙"),
    };
    return p;
}

QString randomText(QRandomGenerator &rng)
{
    QString s;
    const int count = int(rng.bounded(12));
    for (int i = 0; i < count; ++i)
        s += pieces().at(int(rng.bounded(qsizetype(pieces().size()))));
    return s;
}

} // namespace

TEST(HexCodingRegistry, CreatesTheCoderByItsIdentifierInAnyCase)
{
    EXPECT_NE(createHexCodingObject(QStringLiteral("Hexbridge.HexCoding")), nullptr);
    EXPECT_NE(createHexCodingObject(QStringLiteral("hexbridge.hexcoding")), nullptr);
    EXPECT_EQ(createHexCodingObject(QString()), nullptr);
    EXPECT_EQ(createHexCodingObject(QStringLiteral("Hexbridge.HexCodin")), nullptr);
    EXPECT_EQ(createHexCodingObject(QStringLiteral("Other.Coder")), nullptr);
}

TEST(HexCodingRoundTrip, GeneratedTextsSurviveTheWriterAndReader)
{
    for (const char *mode : {"1", "0"}) {
        auto coder = programCoder();
        ASSERT_NE(coder, nullptr);
        coder->SetMode(QString::fromLatin1(mode));
        QRandomGenerator rng(20240601u);
        for (int i = 0; i < 3000; ++i) {
            const QString s = randomText(rng);
            const QString encoded = coder->Encode(s);
            ASSERT_FALSE(coder->lastCallFailed()) << s.toStdString();
            const QString decoded = coder->Decode(asWritten(encoded));
            ASSERT_FALSE(coder->lastCallFailed()) << encoded.toStdString();
            ASSERT_EQ(decoded, s) << "mode " << mode << ": " << encoded.toStdString();
        }
    }
}

TEST(HexCodingEncode, GivesPlainAsciiWithEveryLetterAndSeparatorEscaped)
{
    auto coder = programCoder();
    const QString encoded = coder->Encode(QStringLiteral("a Z+=09会"));
    EXPECT_EQ(encoded.toUpper(), QStringLiteral("=61=20=5A=2B=3D09=89=EF"));
    // Only digits and escapes: nothing the writer's upper-casing or "+"
    // replacement can change.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^(=[0-9a-f]{2}|[0-9])*$")).match(encoded).hasMatch());

    coder->SetMode(QStringLiteral("0"));
    EXPECT_EQ(coder->Encode(QStringLiteral("a b")), QStringLiteral("=61+=62"));
    EXPECT_EQ(coder->Encode(QString()), QString());
    EXPECT_FALSE(coder->lastCallFailed());
}

TEST(HexCodingEncode, ReportsCharactersWithoutACp932Form)
{
    auto coder = programCoder();
    // WAVE DASH goes to its CP932 look-alike, an emoji to "?": both change
    // what the user typed, so the call says so.
    EXPECT_EQ(coder->Decode(coder->Encode(QStringLiteral("〜"))), QStringLiteral("～"));
    coder->Encode(QStringLiteral("〜"));
    EXPECT_TRUE(coder->lastCallFailed());
    EXPECT_EQ(coder->Decode(coder->Encode(QStringLiteral("x😀y"))), QStringLiteral("x?y"));
    coder->Encode(QStringLiteral("x😀y"));
    EXPECT_TRUE(coder->lastCallFailed());
    coder->Encode(QStringLiteral("①"));
    EXPECT_FALSE(coder->lastCallFailed());
}

TEST(HexCodingDecode, ReadsEscapesOfEitherCaseAndPlainText)
{
    auto coder = programCoder();
    EXPECT_EQ(coder->Decode(QStringLiteral("=89=EF=8b=63")), QStringLiteral("会議"));
    EXPECT_EQ(coder->Decode(QStringLiteral("Team A")), QStringLiteral("Team A"));
    // Unescaped CP932 text passes through as it is.
    EXPECT_EQ(coder->Decode(QStringLiteral("会議=20A")), QStringLiteral("会議 A"));
    EXPECT_EQ(coder->Decode(QString()), QString());
    EXPECT_FALSE(coder->lastCallFailed());
}

TEST(HexCodingDecode, HandsBadInputBackUnchanged)
{
    auto coder = programCoder();
    const QStringList bad = {
        QStringLiteral("abc="),        // escape at the end
        QStringLiteral("=4"),          // one digit
        QStringLiteral("=G1xyz"),      // not a digit
        QStringLiteral("=82"),         // a lone lead byte
        QStringLiteral("=FF=FF"),      // bytes CP932 does not have
        QStringLiteral("a\u0000=41"),  // a NUL Hexmill could not see past
        QStringLiteral("=41😀"),       // a character with no CP932 form
    };
    for (const QString &s : bad) {
        EXPECT_EQ(coder->Decode(s), s) << s.toStdString();
        EXPECT_TRUE(coder->lastCallFailed()) << s.toStdString();
    }
    // The next good call clears the flag.
    EXPECT_EQ(coder->Decode(QStringLiteral("=41")), QStringLiteral("A"));
    EXPECT_FALSE(coder->lastCallFailed());
}

TEST(HexCodingSettings, OtherEscapeTextsStillRoundTrip)
{
    auto coder = programCoder();
    const QString s = QStringLiteral("a +%1=会①");
    for (const char *add : {"%", "", "1", "+", "==", "=\u3042"}) {
        for (const char *mode : {"0", "1"}) {
            coder->SetAddChar(QString::fromUtf8(add));
            coder->SetMode(QString::fromLatin1(mode));
            const QString encoded = coder->Encode(s);
            EXPECT_EQ(coder->Decode(encoded), s) << "add '" << add << "' mode " << mode << ": "
                                                 << encoded.toStdString();
        }
    }
    // A mode that is not a number keeps the one set before.
    coder->SetAddChar(QStringLiteral("="));
    coder->SetMode(QStringLiteral("0"));
    coder->SetMode(QStringLiteral("x"));
    EXPECT_EQ(coder->Encode(QStringLiteral(" ")), QStringLiteral("+"));
}
