#include "soundcatalogue.h"

#include <gtest/gtest.h>

using skedra::SoundCatalogue;
using skedra::fixedMelodyIndex;

namespace {

QString melodyOfSnd(const SoundCatalogue &catalogue, const QString &snd)
{
    const auto index = fixedMelodyIndex(snd);
    return index ? catalogue.melodyName(*index) : QStringLiteral("<none>");
}

} // namespace

TEST(SoundCatalogue, StartsEmptyAndIgnoresUnknownModels)
{
    SoundCatalogue c;
    EXPECT_TRUE(c.melodyName(0).isEmpty());
    EXPECT_FALSE(c.LoadSoundCatalogue(u"SH54"));
    EXPECT_FALSE(c.LoadSoundCatalogue(u"603sh"));
    EXPECT_TRUE(c.melodyName(0).isEmpty());

    ASSERT_TRUE(c.LoadSoundCatalogue(u"603SH"));
    const auto before = c.MelodyNames();
    EXPECT_FALSE(c.LoadSoundCatalogue(u""));
    EXPECT_EQ(c.MelodyNames(), before);
}

TEST(SoundCatalogue, EveryModelFillsAllThirtyMelodies)
{
    for (const char16_t *model : {u"601SH", u"602SH", u"603SH", u"604SH", u"SH51", u"SH52", u"SH53"}) {
        SoundCatalogue c;
        ASSERT_TRUE(c.LoadSoundCatalogue(QStringView(model)));
        for (int i = 0; i < SoundCatalogue::MelodyCount; ++i)
            EXPECT_FALSE(c.melodyName(i).isEmpty()) << QString::fromUtf16(model).toStdString() << " " << i;
        EXPECT_EQ(c.melodyName(0), QStringLiteral("ﾊﾟﾀｰﾝ1"));
        EXPECT_EQ(c.melodyName(4), QStringLiteral("ﾊﾟﾀｰﾝ5"));
    }
}

TEST(SoundCatalogue, StoredMelodyNumberShowsTheModelsName)
{
    SoundCatalogue c;
    c.LoadSoundCatalogue(u"604SH");
    EXPECT_EQ(melodyOfSnd(c, "0;29"), QStringLiteral("Endless Sky"));
    EXPECT_EQ(melodyOfSnd(c, "0;5"), QStringLiteral("効果音 ﾒｰﾙ"));
    c.LoadSoundCatalogue(u"601SH");
    EXPECT_EQ(melodyOfSnd(c, "0;29"), QStringLiteral("TENDER MOMENT"));
    EXPECT_EQ(melodyOfSnd(c, "0;8"), QStringLiteral("効果音 黒電話"));
    c.LoadSoundCatalogue(u"602SH");
    EXPECT_FALSE(c.melodyName(26).isEmpty());
    EXPECT_EQ(c.melodyName(25), QStringLiteral("ノクターン"));
    EXPECT_EQ(c.melodyName(27), QStringLiteral("DIGITAL WORLD"));
    c.LoadSoundCatalogue(u"SH51");
    EXPECT_EQ(c.melodyName(5), QStringLiteral("効果音1"));
    EXPECT_EQ(c.melodyName(19), QStringLiteral("効果音15"));
    EXPECT_EQ(c.melodyName(20), QStringLiteral("My Happiness"));
    EXPECT_EQ(c.melodyName(29), QStringLiteral("小フーガト短調"));
    c.LoadSoundCatalogue(u"SH53");
    EXPECT_EQ(c.melodyName(29), QStringLiteral("西瓜の名産地"));
    c.LoadSoundCatalogue(u"SH52");
    EXPECT_EQ(c.melodyName(9), QStringLiteral("出囃子"));
    c.LoadSoundCatalogue(u"603SH");
    EXPECT_EQ(c.melodyName(24), QStringLiteral("ジムノペディ'"));
}

TEST(SoundCatalogue, FixedMelodyIndexAcceptsOnlyFixedNumbers)
{
    EXPECT_EQ(fixedMelodyIndex(u"0;0"), 0);
    EXPECT_EQ(fixedMelodyIndex(u"0;29"), 29);
    EXPECT_EQ(fixedMelodyIndex(u"0;30"), std::nullopt);
    EXPECT_EQ(fixedMelodyIndex(u"0;"), std::nullopt);
    EXPECT_EQ(fixedMelodyIndex(u"0;-1"), std::nullopt);
    EXPECT_EQ(fixedMelodyIndex(u"0;100"), std::nullopt);
    EXPECT_EQ(fixedMelodyIndex(u"1;song.mmf"), std::nullopt);
    EXPECT_EQ(fixedMelodyIndex(u""), std::nullopt);
}

TEST(SoundCatalogue, LampTables)
{
    SoundCatalogue c;
    c.LoadSoundCatalogue(u"602SH");
    EXPECT_EQ(c.lampPatternName(5), QStringLiteral("SMAF連動"));
    EXPECT_EQ(c.lampColourName(3), QStringLiteral("ﾏｽｶｯﾄ"));
    EXPECT_EQ(c.lampColourList().size(), 8);

    // SH52 shows five colours, numbers 1 to 5, and leaves pattern 5 alone.
    c.LoadSoundCatalogue(u"SH52");
    EXPECT_EQ(c.lampColourList(),
              QStringList({"ﾁｪﾘｰ", "ﾚﾓﾝ", "ﾏｽｶｯﾄ", "ﾌﾞﾙｰﾍﾞﾘｰ", "ｸﾞﾚｰﾌﾟ"}));
    EXPECT_EQ(c.lampPatternName(5), QStringLiteral("SMAF連動"));
    EXPECT_EQ(c.lampPatternName(0), QStringLiteral("ﾊﾟﾀｰﾝ1"));

    c.LoadSoundCatalogue(u"601SH");
    EXPECT_EQ(c.lampPatternName(5), QString());
    EXPECT_EQ(c.lampColourName(0), QStringLiteral("ﾗｲﾁﾌﾙｰﾂ"));
    EXPECT_EQ(c.lampColourName(8), QString());
    EXPECT_EQ(c.lampPatternName(-1), QString());
}

TEST(SoundCatalogue, TablesAreNotClearedBetweenModels)
{
    SoundCatalogue c;
    c.LoadSoundCatalogue(u"603SH");
    const auto patterns = c.LampPatternNames();
    const auto colours = c.LampColourNames();
    c.LoadSoundCatalogue(u"SH51");
    EXPECT_EQ(c.LampPatternNames(), patterns);
    EXPECT_EQ(c.LampColourNames(), colours);
    EXPECT_EQ(c.melodyName(5), QStringLiteral("効果音1"));

    // SH51 first at start: nothing to keep, the lamp tables stay empty.
    SoundCatalogue fresh;
    fresh.LoadSoundCatalogue(u"SH51");
    EXPECT_TRUE(fresh.lampColourList().isEmpty());
    EXPECT_TRUE(fresh.lampPatternName(0).isEmpty());
}
