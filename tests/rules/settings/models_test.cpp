#include "models.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace skedra;

namespace {

struct MenuRow {
    const char *model;
    const char *caption;
    int lastVisibleItem;   // of mnuCatego 0-29
    bool extended;
    bool handsetCommands;
};

const MenuRow MenuRows[] = {
    {"601SH", "ｽﾀﾝﾌﾟ(&H)", 19, false, true},
    {"602SH", "ｽﾀﾝﾌﾟ(&H)", 29, false, true},
    {"603SH", "ｽﾀﾝﾌﾟ(&H)", 29, true, true},
    {"604SH", "ｽﾀﾝﾌﾟ(&H)", 29, true, true},
    {"SH51", "ｶﾃｺﾞﾘ(&H)", 6, false, false},
    {"SH52", "ｶﾃｺﾞﾘ(&H)", 6, false, false},
    {"SH53", "ｶﾃｺﾞﾘ(&H)", 6, false, false},
};

} // namespace

TEST(ModelProfiles, MenuConfigurationPerModel)
{
    for (const MenuRow &row : MenuRows) {
        SCOPED_TRACE(row.model);
        const ModelProfile *model = findModelProfile(QString::fromLatin1(row.model));
        ASSERT_NE(model, nullptr);
        const CategoryMenuConfig config = categoryMenuConfig(*model);
        EXPECT_EQ(config.categoryMenuCaption, QString::fromUtf8(row.caption));
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(config.categoryItemVisible[static_cast<size_t>(i)], i <= row.lastVisibleItem) << i;
        EXPECT_EQ(config.extendedMenuVisible, row.extended);
        EXPECT_EQ(config.dateColourEnabled, row.handsetCommands);
        EXPECT_EQ(config.autoDeleteEnabled, row.handsetCommands);
        EXPECT_EQ(config.standbyEnabled, row.handsetCommands);
    }
}

TEST(ModelProfiles, CaptionsEditorsAndNewEntryProperties)
{
    const ModelProfile &v602 = *findModelProfile(u"602SH");
    EXPECT_EQ(v602.menuItem, QStringLiteral("mnu602SH"));
    EXPECT_EQ(v602.menuCaption, QStringLiteral("V602SH"));
    EXPECT_EQ(v602.statusText(), QStringLiteral("機種：V602SH"));
    EXPECT_EQ(v602.editor(), EditorKind::EditR);
    EXPECT_TRUE(v602.handsetDefaults);
    EXPECT_TRUE(v602.lampProperty);
    EXPECT_TRUE(v602.soundParameters());
    EXPECT_EQ(v602.headerFormat(),
              QStringLiteral("|<種別|<件名|<開始日時|<終了日時|<内容|<ｱﾗｰﾑ|<ｼｰｸﾚｯﾄ|<ｽﾀﾝﾌﾟ|<優先度|<状態"));

    const ModelProfile &sh51 = *findModelProfile(u"SH51");
    EXPECT_EQ(sh51.menuCaption, QStringLiteral("J-SH51"));
    EXPECT_EQ(sh51.statusText(), QStringLiteral("機種：J-SH51"));
    EXPECT_EQ(sh51.editor(), EditorKind::Edit);
    EXPECT_FALSE(sh51.handsetDefaults);
    EXPECT_FALSE(sh51.lampProperty);
    EXPECT_EQ(sh51.column8Header(), QStringLiteral("ｶﾃｺﾞﾘ"));

    const ModelProfile &sh52 = *findModelProfile(u"SH52");
    EXPECT_FALSE(sh52.handsetDefaults);
    EXPECT_TRUE(sh52.lampProperty);
    EXPECT_FALSE(sh52.soundParameters());
}

TEST(ModelProfiles, MenuOrderAndUnknownCodes)
{
    QStringList order;
    for (const ModelProfile &p : allModelProfiles())
        order << p.menuItem;
    EXPECT_EQ(order, QStringList({"mnuSH51", "mnuSH52", "mnuSH53", "mnu601SH", "mnu602SH", "mnu603SH", "mnu604SH"}));

    EXPECT_EQ(findModelProfile(u"sh53"), nullptr);
    EXPECT_EQ(findModelProfile(u""), nullptr);
    EXPECT_EQ(modelProfileOrDefault(u"").code, QStringLiteral("SH53"));
    EXPECT_EQ(modelProfileOrDefault(u"601SH ").code, QStringLiteral("SH53"));
    EXPECT_EQ(modelProfileOrDefault(u"601SH").code, QStringLiteral("601SH"));
}
