// The schedule table and the CP932 text helpers.
#include "schedule.h"
#include "session.h"
#include "sjis.h"

#include <gtest/gtest.h>

using namespace skedra;

TEST(ScheduleTable, SlotNumbering)
{
    EXPECT_EQ(DtStartName, 0);
    EXPECT_EQ(SummaryValue, 62);
    EXPECT_EQ(ShCategoriesName, 26);
    EXPECT_EQ(ShCategoriesValue, 86);
    EXPECT_EQ(CategoryCode, 59);
    EXPECT_EQ(ComponentName, 29);
    EXPECT_EQ(DAlarmParams, 36);
}

TEST(ScheduleTable, CountStopsAtFirstEntryWithoutStart)
{
    ScheduleList list;
    EXPECT_EQ(list.count(), 0);
    // Entry 0 without a start name makes the list empty, whatever follows.
    list.at(1, DtStartName) = QStringLiteral("DTSTART");
    list.at(0, SummaryValue) = QStringLiteral("x");
    EXPECT_EQ(list.count(), 0);
    list.at(0, DtStartName) = QStringLiteral("DUE");
    EXPECT_EQ(list.count(), 2);
    for (int i = 0; i < MaxEntries; ++i)
        list.at(i, DtStartName) = QStringLiteral("DTSTART");
    EXPECT_EQ(list.count(), MaxEntries);
}

// An entry exists exactly when its start is named; its start value plays no
// part (a read entry may have none). The list is empty exactly when entry 0
// does not exist.
TEST(ScheduleTable, ExistsAndEmptyByTheStartName)
{
    const struct {
        const char *name;
        const char *value;
        bool exists;
    } rows[] = {
        {"DTSTART", "20050301120000", true},
        {"DUE", "", true},
        {"DTSTART", "", true},
        {"", "20050301120000", false},
        {"", "", false},
    };
    for (const auto &row : rows) {
        ScheduleList list;
        list.at(0, DtStartName) = QString::fromLatin1(row.name);
        list.at(0, DtStartValue) = QString::fromLatin1(row.value);
        list.at(1, DtStartName) = QStringLiteral("DTSTART");
        EXPECT_EQ(list.exists(0), row.exists) << row.name << "/" << row.value;
        EXPECT_EQ(list.isEmpty(), !row.exists) << row.name << "/" << row.value;
    }
    ScheduleList list;
    EXPECT_FALSE(list.exists(-1));
    EXPECT_FALSE(list.exists(MaxEntries));
}

TEST(ScheduleTable, RemoveMovesLaterEntriesUp)
{
    ScheduleList list;
    for (int i = 0; i < 4; ++i) {
        list.at(i, DtStartName) = QStringLiteral("DTSTART");
        list.at(i, SummaryValue) = QString::number(i);
    }
    list.removeAt(1);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.at(0, SummaryValue), "0");
    EXPECT_EQ(list.at(1, SummaryValue), "2");
    EXPECT_EQ(list.at(2, SummaryValue), "3");
    EXPECT_TRUE(list.at(3, SummaryValue).isEmpty());

    // Removing the last slot of a full table leaves it empty.
    for (int i = 0; i < MaxEntries; ++i)
        list.at(i, DtStartName) = QStringLiteral("DTSTART");
    list.removeAt(MaxEntries - 1);
    EXPECT_EQ(list.count(), MaxEntries - 1);
}

TEST(ScheduleTable, ClearingTheListResetsDirty)
{
    SessionState state;
    state.ScheduleList.at(0, DtStartName) = QStringLiteral("DTSTART");
    state.markDirty();
    state.clearList();
    EXPECT_EQ(state.ScheduleList.count(), 0);
    EXPECT_EQ(state.Dirty, "0");
}

TEST(TextHelpers, ZeroPad)
{
    EXPECT_EQ(ZeroPad(7, 2), "07");
    EXPECT_EQ(ZeroPad(2024, 4), "2024");
    EXPECT_EQ(ZeroPad(1, 4), "0001");
    // Keeps the rightmost characters.
    EXPECT_EQ(ZeroPad(12345, 4), "2345");
    EXPECT_EQ(ZeroPad(5, 0), "");
}

TEST(TextHelpers, TruncateBytes)
{
    const QString tenWide = QStringLiteral("あいうえおかきくけこ");
    EXPECT_EQ(TruncateBytes(tenWide, 16), QStringLiteral("あいうえおかきく"));
    // A cut inside a double-byte character keeps what precedes it plus a space.
    EXPECT_EQ(TruncateBytes(tenWide, 15), QStringLiteral("あいうえおかき "));
    EXPECT_EQ(TruncateBytes(tenWide, 1), QStringLiteral(" "));
    EXPECT_EQ(TruncateBytes(tenWide, 0), QString());
    // Within the limit: unchanged, even characters with no CP932 form.
    EXPECT_EQ(TruncateBytes(tenWide, 20), tenWide);
    EXPECT_EQ(TruncateBytes(QStringLiteral("a−b"), 10), QStringLiteral("a−b"));
    // Half-width katakana take one byte each.
    EXPECT_EQ(TruncateBytes(QStringLiteral("ｱｲｳｴｵ漢字"), 6), QStringLiteral("ｱｲｳｴｵ "));
    EXPECT_EQ(TruncateBytes(QStringLiteral("ab①㈱～"), 6), QStringLiteral("ab①㈱"));
    // A cut keeps characters without a CP932 form as they were, so the
    // writer still counts them when it encodes the kept text.
    const QString cut = TruncateBytes(QStringLiteral("前😀後é中ab"), 5);
    EXPECT_EQ(cut, QStringLiteral("前😀後"));
    int replaced = 0;
    EXPECT_EQ(Sjis::encode(cut, &replaced).size(), 5);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(TruncateBytes(QStringLiteral("前😀後é中ab"), 6), QStringLiteral("前😀後é"));
}

TEST(Sjis, RoundTripsWindowsExtensions)
{
    const QString text = QStringLiteral("①㈱～∥￢ｶﾞ漢字ABC");
    int replaced = -1;
    const QByteArray bytes = Sjis::encode(text, &replaced);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(bytes.left(2), QByteArray("\x87\x40"));
    EXPECT_EQ(Sjis::decode(bytes), text);
}

TEST(Sjis, CharactersWithoutCp932FormNeverDropTheRest)
{
    int replaced = -1;
    // Look-alikes map to their CP932 twins.
    EXPECT_EQ(Sjis::decode(Sjis::encode(QStringLiteral("1〜2−3‖¥"), &replaced)),
              QStringLiteral("1～2－3∥\\"));
    EXPECT_EQ(replaced, 0);
    // Anything else becomes "?" and is counted; the rest of the text stays.
    const QString text = QStringLiteral("前😀後é中");
    const QByteArray bytes = Sjis::encode(text, &replaced);
    EXPECT_EQ(replaced, 2);
    EXPECT_EQ(Sjis::decode(bytes), QStringLiteral("前?後?中"));
    EXPECT_FALSE(Sjis::isEncodable(text));
    EXPECT_TRUE(Sjis::isEncodable(QStringLiteral("前後")));
}

TEST(Sjis, InvalidBytesAreCountedNotFatal)
{
    int invalid = -1;
    const QString text = Sjis::decode(QByteArray("ab\x82", 3), &invalid);
    EXPECT_GE(invalid, 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("ab")));
    EXPECT_EQ(Sjis::decode(QByteArray("\x82\xa0", 2), &invalid), QStringLiteral("あ"));
    EXPECT_EQ(invalid, 0);
}

// Letters with a Latin base that CP932 lacks are written in ASCII before
// they would become "?"; everything CP932 can write stays as it is.
TEST(Sjis, FoldsLatinLettersCp932Lacks)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"Müller Ñandú Café crème réunion à Zürich ß æ ø Œ", u"Muller Nandu Cafe creme reunion a Zurich ss ae o OE"},
        {u"Bru\u0308ning;Michael", u"Bruning;Michael"},  // a combining mark
        {u"Ñ Ñ ;Ñ Ñ Ñ ;;;", u"N N ;N N N ;;;"},
        {u"1–2", u"1-2"},
        {u"山田ｶﾅＡＢＣ×÷±§°¨´¶", u"山田ｶﾅＡＢＣ×÷±§°¨´¶"},
        {u"1〜2−3‖¥①㈱", u"1〜2−3‖¥①㈱"},  // written as their CP932 twins
        {u"한😀é", u"한😀e"},
        {u"", u""},
    };
    for (const auto &[text, folded] : cases)
        EXPECT_EQ(Sjis::foldLatin(QString::fromUtf16(text)), QString::fromUtf16(folded))
            << QString::fromUtf16(text).toStdString();
}
