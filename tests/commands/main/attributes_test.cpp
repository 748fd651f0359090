#include "attributes.h"
#include "menutable.h"
#include "session.h"
#include "sjis.h"
#include "testentries.h"

#include <gtest/gtest.h>

using namespace skedra;
using skedra::test::fillList;
using skedra::test::makeEntry;

TEST(AttributeCommands, PriorityOnABandSelectedEitherWay)
{
    for (const RowBand band : {RowBand::between(2, 4), RowBand::between(4, 2)}) {
        SessionState s;
        fillList(s, 5);
        s.ScheduleList.at(2, PriorityName).clear();
        const CellUpdates cells = ApplyAttribute(s, band, AttributeCommand::PriorityHigh);
        EXPECT_EQ(cells, (CellUpdates{{2, 9, "高"}, {3, 9, "高"}, {4, 9, "高"}}));
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(s.ScheduleList.at(i, PriorityName), QStringLiteral("PRIORITY"));
            EXPECT_EQ(s.ScheduleList.at(i, PriorityValue), QStringLiteral("1"));
        }
        EXPECT_TRUE(s.ScheduleList.at(0, PriorityValue).isEmpty());
        EXPECT_TRUE(s.ScheduleList.at(4, PriorityValue).isEmpty());
        EXPECT_TRUE(s.isDirty());
    }
}

TEST(AttributeCommands, EmptyListIsLeftAlone)
{
    SessionState s;
    EXPECT_TRUE(ApplyAttribute(s, {1, 1}, AttributeCommand::SecretOn).empty());
    EXPECT_TRUE(SetCategory(s, {1, 1}, categories::Menu::Cate, 3).empty());
    EXPECT_FALSE(s.isDirty());
    EXPECT_TRUE(s.ScheduleList[0][ClassName].isEmpty());
}

TEST(AttributeCommands, RowsWithoutEntriesAreSkipped)
{
    SessionState s;
    fillList(s, 3);
    const CellUpdates cells = ApplyAttribute(s, {2, 8}, AttributeCommand::PriorityLow);
    EXPECT_EQ(cells.size(), 2u);
    EXPECT_TRUE(s.ScheduleList[3][PriorityName].isEmpty());
    EXPECT_EQ(s.ScheduleList.count(), 3);
}

TEST(AttributeCommands, SecretKeepsAnExistingNameAndFillsAMissingOne)
{
    SessionState s;
    fillList(s, 2);
    s.ScheduleList.at(0, ClassName) = QStringLiteral("CLASS");
    s.ScheduleList.at(0, ClassParams) = QStringLiteral("X=1");
    EXPECT_EQ(ApplyAttribute(s, {1, 2}, AttributeCommand::SecretOn), (CellUpdates{{1, 7, "ON"}, {2, 7, "ON"}}));
    EXPECT_EQ(s.ScheduleList.at(0, ClassName), QStringLiteral("CLASS"));
    EXPECT_EQ(s.ScheduleList.at(0, ClassParams), QStringLiteral("X=1"));
    EXPECT_EQ(s.ScheduleList.at(0, ClassValue), QStringLiteral("PRIVATE"));
    // An entry read without a CLASS line gets the name, so the change is saved.
    EXPECT_EQ(s.ScheduleList.at(1, ClassName), QStringLiteral("CLASS"));

    EXPECT_EQ(ApplyAttribute(s, {2, 2}, AttributeCommand::SecretOff), (CellUpdates{{2, 7, ""}}));
    EXPECT_EQ(s.ScheduleList.at(1, ClassValue), QStringLiteral("PUBLIC"));
}

TEST(AttributeCommands, HandsetAttributesWriteNameAndValueOnly)
{
    struct Case {
        AttributeCommand command;
        int slotName;
        const char *name;
        const char *value;
    } const cases[] = {
        {AttributeCommand::ColRed, CalColorName, "X-JPGSH-CALCOLOR", "RED"},
        {AttributeCommand::ColNon, CalColorName, "X-JPGSH-CALCOLOR", ""},
        {AttributeCommand::AutoDelOn, NoAutoDelName, "X-JPGSH-NOAUTODEL", "ON"},
        {AttributeCommand::WaitOff, NoDispDefWinName, "X-JPGSH-NODISPDEFWIN", "OFF"},
    };
    for (const Case &c : cases) {
        SessionState s;
        fillList(s, 1);
        s.ScheduleList.at(0, CalColorValue) = QStringLiteral("BLUE");
        const ScheduleEntry before = s.ScheduleList[0];
        EXPECT_TRUE(ApplyAttribute(s, {1, 1}, c.command).empty());
        ScheduleEntry expected = before;
        expected[c.slotName] = QString::fromLatin1(c.name);
        expected[c.slotName + 60] = QString::fromLatin1(c.value);
        EXPECT_EQ(s.ScheduleList[0], expected) << c.name << " " << c.value;
    }
}

TEST(AttributeCommands, EveryAttributeMenuItemHasItsCommand)
{
    int found = 0;
    for (const MenuEntry &e : menuTable()) {
        for (const char *menu : {"Secret", "Priority", "DateColor", "AutoDel", "Wait"}) {
            const QString m = QString::fromLatin1(menu);
            if (e.parent == QStringLiteral("mnu") + m || e.parent == QStringLiteral("pmnu") + m) {
                EXPECT_TRUE(attributeCommandFor(e.objectName()).has_value()) << e.objectName().toStdString();
                ++found;
            }
        }
    }
    EXPECT_EQ(found, 2 * 16);
    EXPECT_EQ(attributeCommandFor(u"pmnuColGreen"), AttributeCommand::ColGreen);
    EXPECT_FALSE(attributeCommandFor(u"mnuAdd").has_value());
    EXPECT_FALSE(attributeCommandFor(u"SecretOn").has_value());
}

TEST(CategoryCommands, ExtendedStampOverACategory)
{
    SessionState s;
    fillList(s, 1);
    ScheduleEntry &e = s.ScheduleList[0];
    e[CategoriesName] = QStringLiteral("CATEGORIES");
    e[CategoriesValue] = QStringLiteral("BUSINESS");
    e[CategoryCode] = QStringLiteral("04");
    EXPECT_EQ(SetCategory(s, {1, 1}, categories::Menu::Cate2, 29), (CellUpdates{{1, 8, "注射"}}));
    EXPECT_EQ(e[ShCategoriesName], QStringLiteral("X-JPGSH-CATEGORIES"));
    EXPECT_EQ(e[ShCategoriesValue], QStringLiteral("53"));
    EXPECT_EQ(e[CategoryCode], QStringLiteral("59"));
    EXPECT_TRUE(e[CategoriesValue].isEmpty());
    // No empty "CATEGORIES:" line is left for the writer.
    EXPECT_TRUE(e[CategoriesName].isEmpty());
    EXPECT_EQ(categories::codeOfEntry(e), 59);
}

TEST(CategoryCommands, CategoryOverAStampRemovesTheStamp)
{
    SessionState s;
    fillList(s, 2);
    for (int i = 0; i < 2; ++i)
        setEntryCategory(s.ScheduleList[i], 24);
    s.ScheduleList.at(1, CategoriesParams) = QStringLiteral("CHARSET=US-ASCII");
    EXPECT_EQ(SetCategory(s, RowBand::between(2, 1), categories::Menu::Cate, 1),
              (CellUpdates{{1, 8, "個人予定"}, {2, 8, "個人予定"}}));
    for (int i = 0; i < 2; ++i) {
        const ScheduleEntry &e = s.ScheduleList[i];
        EXPECT_EQ(e[CategoriesName], QStringLiteral("CATEGORIES"));
        EXPECT_EQ(e[CategoriesValue], QStringLiteral("PERSONAL"));
        EXPECT_TRUE(e[ShCategoriesName].isEmpty());
        EXPECT_TRUE(e[ShCategoriesValue].isEmpty());
        EXPECT_EQ(e[CategoryCode], QStringLiteral("01"));
    }
    EXPECT_EQ(s.ScheduleList.at(1, CategoriesParams), QStringLiteral("CHARSET=US-ASCII"));
}

TEST(CategoryCommands, NoneAndOutOfRangeItems)
{
    SessionState s;
    fillList(s, 1);
    setEntryCategory(s.ScheduleList[0], 3);
    EXPECT_EQ(SetCategory(s, {1, 1}, categories::Menu::Cate, 0), (CellUpdates{{1, 8, "選択なし"}}));
    const ScheduleEntry &e = s.ScheduleList[0];
    EXPECT_TRUE(e[CategoriesName].isEmpty() && e[CategoriesValue].isEmpty());
    EXPECT_TRUE(e[ShCategoriesName].isEmpty() && e[ShCategoriesValue].isEmpty());
    EXPECT_EQ(e[CategoryCode], QStringLiteral("00"));

    setEntryCategory(s.ScheduleList[0], 7);
    s.Dirty = QStringLiteral("0");
    const ScheduleEntry before = s.ScheduleList[0];
    EXPECT_TRUE(SetCategory(s, {1, 1}, categories::Menu::Cate2, 30).empty());
    EXPECT_TRUE(SetCategory(s, {1, 1}, categories::Menu::Cate, -1).empty());
    EXPECT_EQ(s.ScheduleList[0], before);
}

TEST(CategoryVocabulary, CodesNamesAndStoredForms)
{
    EXPECT_EQ(categories::name(0), QStringLiteral("選択なし"));
    EXPECT_EQ(categories::name(6), QStringLiteral("クラブ・サークル"));
    EXPECT_EQ(categories::name(19), QStringLiteral("鑑賞"));
    EXPECT_EQ(categories::name(24), QStringLiteral("映画"));
    EXPECT_EQ(categories::name(29), QStringLiteral("遊園地"));
    EXPECT_EQ(categories::name(59), QStringLiteral("注射"));
    EXPECT_TRUE(categories::name(60).isEmpty());
    EXPECT_EQ(categories::stampValue(7), QStringLiteral("1"));
    EXPECT_EQ(categories::codeOfStampValue(u"18"), 24);
    EXPECT_EQ(categories::codeOfStampValue(u"54"), std::nullopt);
    EXPECT_EQ(categories::codeOfStampValue(u"07"), std::nullopt);
    EXPECT_EQ(categories::codeOfStampValue(u"0"), std::nullopt);
    EXPECT_EQ(categories::codeOfCategoriesValue(u"CLUB"), 6);
    EXPECT_EQ(categories::codeOfCategoriesValue(u"club"), std::nullopt);
    EXPECT_EQ(categories::menuItemCaption(categories::Menu::Cate, 7), QStringLiteral("記念日(&H)"));
    EXPECT_EQ(categories::menuItemCaption(categories::Menu::Cate2, 29), QStringLiteral("注射(&4)"));

    // Every code survives being set and read back.
    for (int code = 0; code < categories::CodeCount; ++code) {
        ScheduleEntry e = makeEntry();
        ASSERT_TRUE(setEntryCategory(e, code));
        EXPECT_EQ(categories::codeOfEntry(e), code);
        EXPECT_EQ(e[CategoryCode], categories::codeText(code));
    }
}

TEST(HalfWidth, NarrowsWhatTheHandsetCanHold)
{
    const struct {
        const char16_t *in;
        const char16_t *out;
    } cases[] = {
        {u"ＡＢＣ１２３！", u"ABC123!"},
        {u"ガギグ・ー「」。、", u"ｶﾞｷﾞｸﾞ･ｰ｢｣｡､"},
        {u"漢字ひらがな", u"漢字ひらがな"},
        {u"会議　１０時", u"会議 10時"},
        {u"￥１００", u"\\100"},
        {u"￣", u"~"},
        {u"←■○￠￡￢", u"←■○￠￡￢"},
        {u"😀Ａ", u"😀A"},
        {u"abc", u"abc"},
        {u"ウ゛ー゜ハ゜", u"ｳﾞｰﾟﾊﾟ"},  // the spacing marks too
    };
    HalfWidthConverter converter;
    for (const auto &c : cases)
        EXPECT_EQ(converter.convert(QString::fromUtf16(c.in)), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();
}

TEST(HalfWidth, NeverProducesAnUnsavableCharacter)
{
    HalfWidthConverter converter;
    for (char16_t c = 0x80; c < 0xD800; ++c) {
        const QString one(QChar{c});
        if (!Sjis::isEncodable(one))
            continue;
        const QString narrow = converter.convert(one);
        ASSERT_TRUE(Sjis::isEncodable(narrow)) << std::hex << int(c);
    }
    for (char16_t c = 0xE000; c != 0; ++c) {
        const QString one(QChar{c});
        if (Sjis::isEncodable(one))
            ASSERT_TRUE(Sjis::isEncodable(converter.convert(one))) << std::hex << int(c);
    }
}

TEST(HalfWidth, AlarmMessagesOfTheWholeList)
{
    SessionState s;
    fillList(s, 2);
    s.ScheduleList.at(0, DAlarmValue) = QStringLiteral("20240401083000;会議ＡＢＣ１２３");
    s.ScheduleList.at(0, DescriptionValue) = QStringLiteral("ＸＹＺ");
    s.ScheduleList.at(1, DAlarmValue) = QStringLiteral("00000000000000;ｶﾅとカナ");
    s.ScheduleList.at(0, SummaryValue) = QStringLiteral("ＡＢ");

    const auto q = ZtoHQuestion(s, 1);
    ASSERT_TRUE(q.has_value());
    EXPECT_EQ(q->title, QStringLiteral("確認"));
    EXPECT_EQ(q->text, QStringLiteral("ｱﾗｰﾑﾒｯｾｰｼﾞﾌｨｰﾙﾄﾞの全角を半角に一括変換します。　　　\nよろしいですか？"));
    EXPECT_EQ(ZtoHQuestion(s, 0)->text,
              QStringLiteral("内容ﾌｨｰﾙﾄﾞの全角を半角に一括変換します。　　　\nよろしいですか？"));
    EXPECT_FALSE(ZtoHQuestion(s, 2).has_value());

    ASSERT_TRUE(ZtoH(s, 1));
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(s.ScheduleList.at(0, DAlarmValue), QStringLiteral("20240401083000;会議ABC123"));
    EXPECT_EQ(s.ScheduleList.at(1, DAlarmValue), QStringLiteral("00000000000000;ｶﾅとｶﾅ"));
    EXPECT_EQ(s.ScheduleList.at(0, DescriptionValue), QStringLiteral("ＸＹＺ"));
    EXPECT_EQ(s.ScheduleList.at(0, SummaryValue), QStringLiteral("ＡＢ"));

    ASSERT_TRUE(ZtoH(s, 0));
    EXPECT_EQ(s.ScheduleList.at(0, DescriptionValue), QStringLiteral("XYZ"));
    EXPECT_FALSE(ZtoH(s, 5));
}

TEST(HalfWidth, EmptyListAsksNothing)
{
    SessionState s;
    EXPECT_FALSE(ZtoHQuestion(s, 0).has_value());
    EXPECT_FALSE(ZtoH(s, 0));
    EXPECT_FALSE(s.isDirty());
}
