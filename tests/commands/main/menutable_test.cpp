#include "menutable.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

using namespace skedra;

TEST(MenuTable, ObjectNamesAreUniqueAndParentsExist)
{
    QSet<QString> names;
    for (const MenuEntry &e : menuTable()) {
        if (e.kind == MenuEntryKind::Separator)
            continue;
        EXPECT_FALSE(names.contains(e.objectName())) << e.objectName().toStdString();
        names.insert(e.objectName());
    }
    for (const MenuEntry &e : menuTable()) {
        if (e.parent.isEmpty()) {
            EXPECT_TRUE(e.kind == MenuEntryKind::Menu || e.kind == MenuEntryKind::Popup)
                << e.objectName().toStdString();
            continue;
        }
        EXPECT_TRUE(e.parent == QLatin1String("Toolbar1") || names.contains(e.parent))
            << e.objectName().toStdString() << " in " << e.parent.toStdString();
        // A pop-up item or toolbar button runs an item that exists.
        if (!e.runs.isEmpty() && e.runs.startsWith(QLatin1String("mnu")))
            EXPECT_TRUE(names.contains(e.runs)) << e.objectName().toStdString();
    }
}

TEST(MenuTable, SpotChecks)
{
    const struct {
        const char *name;
        const char *caption;
    } cases[] = {
        {"mnuFile", "ﾌｧｲﾙ(&F)"},
        {"mnuOpen_0", "新規(&N)"},
        {"mnuCate2", "ｽﾀﾝﾌﾟ（拡張)(&Z)"},
        {"mnuCatego_7", "記念日(&H)"},
        {"pmnuCatego2_29", "注射(&4)"},
        {"mnuZtoH_0", "内　容(&D)"},
        {"mnuZtoH_1", "ｱﾗｰﾑﾒｯｾｰｼﾞ(&M)"},
        {"mnuColNon", "未設定(&Z)"},
        {"mnuSH53", "J-SH53"},
        {"pmnuAdd", "追加(&A)"},
        {"pmnuColGreen", "ｸﾞﾘｰﾝ(&F)"},
        {"pmnuDefClear", "既定値をｸﾘｱ(&G)"},
        {"p2mnuMenu", "ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ2"},
        {"tbrCal", "ｶﾚﾝﾀﾞ"},
    };
    for (const auto &c : cases) {
        const MenuEntry *e = findMenuEntry(QString::fromLatin1(c.name));
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->caption, QString::fromUtf8(c.caption)) << c.name;
    }
    EXPECT_EQ(findMenuEntry(u"tbrSave")->toolTip, QStringLiteral("現在のデータをvCalendarファイルに保存します"));
    EXPECT_EQ(findMenuEntry(u"pmnuUp")->runs, QStringLiteral("mnuUp"));
    EXPECT_EQ(findMenuEntry(u"pmnuCatego_3")->runs, QStringLiteral("mnuCatego_3"));
    EXPECT_EQ(findMenuEntry(u"tbrOpenA")->runs, QStringLiteral("mnuOpen_1"));
    EXPECT_EQ(findMenuEntry(u"pmnuSecretOff")->parent, QStringLiteral("pmnuSecret"));
    EXPECT_EQ(findMenuEntry(u"mnuFoo"), nullptr);

    EXPECT_EQ(findMenuCaption(3), QStringLiteral("開始日時で検索(&F)"));
    EXPECT_FALSE(findMenuCaption(6).has_value());
}

TEST(MenuTable, ModelMenuOrder)
{
    QStringList items;
    for (const MenuEntry &e : menuTable()) {
        if (e.parent == QLatin1String("mnuModel"))
            items << (e.kind == MenuEntryKind::Separator ? QStringLiteral("-") : e.objectName());
    }
    EXPECT_EQ(items, QStringList({"mnuSH51", "mnuSH52", "mnuSH53", "-", "mnu601SH", "mnu602SH", "mnu603SH",
                                  "mnu604SH"}));
}

// Within one menu or pop-up, the items that share an access key: only the
// Edit menu's extended stamps and 文字数節約, both "(&Z)" as captioned.
TEST(MenuTable, SharedAccessKeys)
{
    QMap<QString, std::vector<const MenuEntry *>> byMenu;
    for (const MenuEntry &e : menuTable()) {
        if (e.kind == MenuEntryKind::Item || e.kind == MenuEntryKind::Menu)
            byMenu[e.parent].push_back(&e);
    }
    QStringList shared;
    for (auto it = byMenu.cbegin(); it != byMenu.cend(); ++it) {
        std::vector<QString> captions;
        for (const MenuEntry *e : it.value())
            captions.push_back(e->caption);
        QSet<QChar> seen;
        for (const QString &caption : captions) {
            const QChar key = accessKey(caption);
            if (key.isNull() || seen.contains(key))
                continue;
            seen.insert(key);
            const std::vector<int> items = itemsWithAccessKey(captions, key);
            if (items.size() < 2)
                continue;
            QStringList names;
            for (int i : items)
                names.append(it.value()[size_t(i)]->objectName());
            shared.append(it.key() + ":" + key + ":" + names.join(','));
        }
    }
    EXPECT_EQ(shared, QStringList{"mnuEdit:Z:mnuCate2,mnuEco"});

    EXPECT_EQ(accessKey(u"ｽﾀﾝﾌﾟ（拡張)(&Z)"), QChar(u'Z'));
    EXPECT_EQ(accessKey(u"a&&b(&x)"), QChar(u'X'));
    EXPECT_TRUE(accessKey(u"すべて選択").isNull());
    EXPECT_EQ(itemsWithAccessKey({"a(&Z)", "b", "c(&z)"}, QChar(u'z')), (std::vector<int>{0, 2}));
}

// The desktop commands: each item has an access key of its own in its menu
// and the keys a desktop editor gives it; no key sequence starts two items.
TEST(MenuTable, DesktopCommandsByKeyboard)
{
    const struct {
        const char *item;
        const char *parent;
        QStringList shortcuts;
    } items[] = {
        {"mnuUndo", "mnuEdit", {"Ctrl+Z"}},
        {"mnuRedo", "mnuEdit", {"Ctrl+Y", "Ctrl+Shift+Z"}},
        {"mnuOverwrite", "mnuFile", {"Ctrl+S"}},
        {"mnuRecent", "mnuFile", {}},
        {"mnuPrint", "mnuFile", {"Ctrl+P"}},
        {"mnuExportPdf", "mnuFile", {}},
        {"mnuRecentClear", "mnuRecent", {}},
        {"mnuView", "", {}},
        {"mnuFont", "mnuView", {}},
        {"mnuCal", "mnuView", {"Ctrl+K"}},
        {"mnuFindM", "", {}},
        {"mnuFind_2", "mnuFindM", {"Ctrl+F"}},
        {"mnuFind_3", "mnuFindM", {}},
        {"mnuFind_4", "mnuFindM", {}},
        {"mnuFind_5", "mnuFindM", {}},
    };
    for (const auto &i : items) {
        const MenuEntry *e = findMenuEntry(QString::fromLatin1(i.item));
        ASSERT_NE(e, nullptr) << i.item;
        EXPECT_EQ(e->parent, QLatin1String(i.parent)) << i.item;
        EXPECT_FALSE(accessKey(e->caption).isNull()) << i.item;
        const QStringList shortcuts = e->shortcuts.isEmpty() ? QStringList() : e->shortcuts.split(QStringLiteral("; "));
        EXPECT_EQ(shortcuts, i.shortcuts) << i.item;
    }
    // The recent files are numbered 1 to 6.
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(accessKey(findMenuEntry(QStringLiteral("mnuRecentFile_%1").arg(n))->caption), QChar(u'1' + n));

    QMap<QString, QString> owner;
    for (const MenuEntry &e : menuTable()) {
        if (e.shortcuts.isEmpty())
            continue;
        EXPECT_TRUE(e.name.startsWith(QLatin1String("mnu"))) << e.objectName().toStdString();
        for (const QString &keys : e.shortcuts.split(QStringLiteral("; "))) {
            EXPECT_FALSE(owner.contains(keys)) << keys.toStdString() << ": " << owner.value(keys).toStdString()
                                               << " and " << e.objectName().toStdString();
            owner.insert(keys, e.objectName());
        }
    }
}
