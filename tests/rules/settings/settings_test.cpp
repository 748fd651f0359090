#include "models.h"
#include "session.h"
#include "settings.h"
#include "soundcatalogue.h"
#include "tempsettings.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace skedra;

namespace {

class SettingsTest : public test::TempSettingsTest {
protected:
    QByteArray storeBytes() const
    {
        QFile f(storeFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const WindowGeometry NormalGeometry{1200, 900, 12000, 8000, 11500, 6500};
const ColumnWidths DraggedWidths{300, 900, 2100, 2100, 3000, 2250, 1000, 1000, 1500, 800, 950};

} // namespace

TEST_F(SettingsTest, FirstStartUsesDefaultsAndSelectsSH53)
{
    const StartupSettings s = LoadSettings(SettingsStore());
    EXPECT_FALSE(s.geometry.has_value());
    EXPECT_EQ(s.columnWidths, (ColumnWidths{300, 800, 2050, 2050, 2000, 2250, 1000, 1000, 1400, 800, 900}));
    EXPECT_EQ(s.windowState, WindowShowState::Normal);
    EXPECT_FALSE(s.font.name || s.font.size || s.font.bold || s.font.italic);
    EXPECT_EQ(s.entryDefaults, EntryDefaults());
    EXPECT_EQ(s.headerFormat, QStringLiteral("|<種別|<件名|<開始日時|<終了日時|<内容|<ｱﾗｰﾑ|<ｼｰｸﾚｯﾄ|<ｶﾃｺﾞﾘ|<優先度|<状態"));
    for (const QString &folder : s.attachmentFolders)
        EXPECT_TRUE(folder.isEmpty());

    SessionState session;
    session.ModelCode = QStringLiteral("604SH");
    SoundCatalogue catalogue;
    const ModelSelection sel = SelectStartupModel(session, catalogue, s.storedModelCode);
    EXPECT_EQ(session.ModelCode, QStringLiteral("SH53"));
    EXPECT_EQ(sel.statusText, QStringLiteral("機種：J-SH53"));
    EXPECT_FALSE(sel.extendedMenuVisible);
    for (const auto &[item, checked] : sel.checks)
        EXPECT_EQ(checked, item == QLatin1String("mnuSH53")) << item.toStdString();
    EXPECT_EQ(catalogue.melodyName(29), QStringLiteral("西瓜の名産地"));

    // Starting writes nothing.
    EXPECT_FALSE(QFile::exists(storeFile()));
}

TEST_F(SettingsTest, StoredModelDecidesHeaderAndStatus)
{
    SettingsStore().saveModelCode(QStringLiteral("603SH"));
    const StartupSettings s = LoadSettings(SettingsStore());
    EXPECT_TRUE(s.headerFormat.contains(QStringLiteral("|<ｽﾀﾝﾌﾟ|")));

    SessionState session;
    SoundCatalogue catalogue;
    const ModelSelection sel = SelectStartupModel(session, catalogue, s.storedModelCode);
    EXPECT_EQ(session.ModelCode, QStringLiteral("603SH"));
    EXPECT_EQ(sel.statusText, QStringLiteral("機種：V603SH"));
    EXPECT_TRUE(sel.extendedMenuVisible);
}

TEST_F(SettingsTest, UnknownStoredModelSelectsSH53)
{
    for (const char *stored : {"", "603sh", " 603SH", "SH54", "V603SH"}) {
        SettingsStore().saveModelCode(QString::fromLatin1(stored));
        const StartupSettings s = LoadSettings(SettingsStore());
        EXPECT_TRUE(s.headerFormat.contains(QStringLiteral("ｶﾃｺﾞﾘ"))) << stored;
        SessionState session;
        SoundCatalogue catalogue;
        EXPECT_EQ(SelectStartupModel(session, catalogue, s.storedModelCode).statusText,
                  QStringLiteral("機種：J-SH53")) << stored;
    }
}

TEST_F(SettingsTest, ClosingNormalThenMaximisedThenMinimised)
{
    {
        SettingsStore store;
        ASSERT_TRUE(store.SaveWindowSettings(WindowShowState::Normal, NormalGeometry, DraggedWidths));
    }
    StartupSettings s = LoadSettings(SettingsStore());
    ASSERT_TRUE(s.geometry.has_value());
    EXPECT_EQ(s.geometry->left, 1200);
    EXPECT_EQ(s.geometry->top, 900);
    EXPECT_EQ(s.geometry->width, 12000);
    EXPECT_EQ(s.geometry->height, 8000);
    EXPECT_EQ(s.geometry->gridWidth, 11500);
    EXPECT_EQ(s.geometry->gridHeight, 6500);
    EXPECT_EQ(s.columnWidths, DraggedWidths);
    EXPECT_EQ(s.windowState, WindowShowState::Normal);

    // Maximised: only WindowState "2"; the normal geometry stays stored.
    const WindowGeometry full{0, 0, 28800, 16200, 28000, 14000};
    ColumnWidths other = SettingsStore::defaultColumnWidths();
    other[2] = 5000;
    ASSERT_TRUE(SettingsStore().SaveWindowSettings(WindowShowState::Maximised, full, other));
    s = LoadSettings(SettingsStore());
    EXPECT_EQ(s.windowState, WindowShowState::Maximised);
    EXPECT_EQ(s.geometry->width, 12000);
    EXPECT_EQ(s.columnWidths, DraggedWidths);
    EXPECT_EQ(SettingsStore().text("Settings", "WindowState"), QStringLiteral("2"));

    // Minimised: not a byte changes.
    const QByteArray before = storeBytes();
    ASSERT_TRUE(SettingsStore().SaveWindowSettings(WindowShowState::Minimised, NormalGeometry, other));
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(LoadSettings(SettingsStore()).windowState, WindowShowState::Maximised);
}

TEST_F(SettingsTest, MinimisedOnFirstRunStoresNothing)
{
    SettingsStore().SaveWindowSettings(WindowShowState::Minimised, NormalGeometry, DraggedWidths);
    EXPECT_FALSE(QFile::exists(storeFile()));
}

TEST_F(SettingsTest, SwitchingModelsStoresAtOnce)
{
    SessionState session;
    SoundCatalogue catalogue;
    SettingsStore store;
    SelectModel(session, catalogue, store, u"SH51");
    const ModelSelection sel = SelectModel(session, catalogue, store, u"604SH");
    EXPECT_TRUE(sel.saved);
    EXPECT_EQ(sel.statusText, QStringLiteral("機種：V604SH"));
    EXPECT_TRUE(sel.extendedMenuVisible);
    EXPECT_EQ(session.ModelCode, QStringLiteral("604SH"));
    EXPECT_EQ(catalogue.melodyName(29), QStringLiteral("Endless Sky"));
    int checked = 0;
    for (const auto &[item, on] : sel.checks)
        checked += on ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(sel.checks[6].second);
    EXPECT_EQ(sel.checks[6].first, QStringLiteral("mnu604SH"));

    // Read straight from the file, as after a crash.
    QSettings file(storeFile(), QSettings::IniFormat);
    EXPECT_EQ(file.value("Settings/ModelCode").toString(), QStringLiteral("604SH"));

    // The list and its changed mark are not touched.
    EXPECT_FALSE(session.isDirty());
}

TEST_F(SettingsTest, FontRoundTripAndUnreadableValues)
{
    ASSERT_TRUE(SettingsStore().saveFont({QStringLiteral("ＭＳ ゴシック"), 10.5, true, false}));
    StoredFont f = SettingsStore().font();
    EXPECT_EQ(f.name, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(f.size, 10.5);
    EXPECT_EQ(f.bold, true);
    EXPECT_EQ(f.italic, false);

    QSettings raw(storeFile(), QSettings::IniFormat);
    raw.setValue("Settings/FontSize", "big");
    raw.setValue("Settings/FontBold", "True");
    raw.setValue("Settings/FontItalic", "maybe");
    raw.setValue("Settings/ColWidth3", "wide");
    raw.setValue("Settings/ColWidth4", "-5");
    raw.setValue("Settings/ColWidth5", "1234");
    raw.setValue("Settings/MainLeft", "");
    raw.setValue("Settings/MainTop", "100");
    raw.sync();
    f = SettingsStore().font();
    EXPECT_FALSE(f.size.has_value());
    EXPECT_EQ(f.bold, true);
    EXPECT_FALSE(f.italic.has_value());
    const ColumnWidths widths = SettingsStore().columnWidths();
    EXPECT_EQ(widths[3], 2050);
    EXPECT_EQ(widths[4], 2000);
    EXPECT_EQ(widths[5], 1234);
    // Without MainLeft the designed geometry stays.
    EXPECT_FALSE(LoadSettings(SettingsStore()).geometry.has_value());
}

TEST_F(SettingsTest, InitKeysRoundTripWithSeparatorsAndFallBackWhenEmpty)
{
    EntryDefaults d;
    d.ArarmOnOff = QStringLiteral("ON");
    d.ArarmDate = QStringLiteral("-10");
    d.ArarmMes = QStringLiteral("会議, 資料;確認 ");
    d.Cmblt = QStringLiteral("ON2;1;4");
    d.Snd = QStringLiteral("1;曲,名.mmf");
    d.Tel = QStringLiteral("@0312345678");
    d.Priority.clear();
    d.Class.clear();
    ASSERT_TRUE(SettingsStore().saveEntryDefaults(d));

    const EntryDefaults read = SettingsStore().entryDefaults();
    EXPECT_EQ(read.ArarmMes, d.ArarmMes);
    EXPECT_EQ(read.Cmblt, d.Cmblt);
    EXPECT_EQ(read.Snd, d.Snd);
    EXPECT_EQ(read.Tel, d.Tel);
    EXPECT_EQ(read.ArarmDate, QStringLiteral("-10"));
    // Empty stored values read as the built-in ones.
    EXPECT_EQ(read.Priority, QStringLiteral("0"));
    EXPECT_EQ(read.Class, QStringLiteral("PUBLIC"));
}

TEST_F(SettingsTest, AttachmentFolders)
{
    SettingsStore store;
    ASSERT_TRUE(store.saveAttachmentFolder(AttachmentFolder::Music, QStringLiteral("/home/利用者/着信音")));
    EXPECT_EQ(SettingsStore().attachmentFolder(AttachmentFolder::Music), QStringLiteral("/home/利用者/着信音"));
    EXPECT_TRUE(SettingsStore().attachmentFolder(AttachmentFolder::Image).isEmpty());
    EXPECT_EQ(LoadSettings(SettingsStore()).attachmentFolders[1], QStringLiteral("/home/利用者/着信音"));
}

TEST_F(SettingsTest, FailedWriteIsReported)
{
    // A store whose file cannot be created: its folder is a plain file.
    QFile blocker(dir.path() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(dir.path() + QStringLiteral("/blocker/Skedra.conf"));
    EXPECT_FALSE(store.saveModelCode(QStringLiteral("601SH")));
}

// The calendar's five keys: what a close writes for each window state, and
// what the next open reads back.
TEST_F(SettingsTest, CalendarKeysFollowTheWindowStateAtClose)
{
    EXPECT_FALSE(SettingsStore().calendarGeometry().top.has_value()) << "nothing stored: the main window's place";
    EXPECT_EQ(SettingsStore().calendarWindowState(), WindowShowState::Normal);

    const WindowGeometry placed{1500, 750, 9000, 7200, 0, 0};
    struct Case {
        WindowShowState closedAs;
        QString state;      // CalendarWindowState afterwards
        QString top;        // CalendarTop afterwards
        WindowShowState readBack;
    };
    const Case cases[] = {
        {WindowShowState::Normal, QStringLiteral("0"), QStringLiteral("750"), WindowShowState::Normal},
        {WindowShowState::Maximised, QStringLiteral("2"), QStringLiteral("750"), WindowShowState::Maximised},
        {WindowShowState::Minimised, QStringLiteral("2"), QStringLiteral("750"), WindowShowState::Maximised},
    };
    for (const Case &c : cases) {
        // A maximised or minimised close keeps the place stored before.
        const WindowGeometry geometry = c.closedAs == WindowShowState::Normal ? placed : WindowGeometry{};
        ASSERT_TRUE(SettingsStore().saveCalendarSettings(c.closedAs, geometry));
        SettingsStore store;
        EXPECT_EQ(store.text(QStringLiteral("Settings"), QStringLiteral("CalendarWindowState")), c.state);
        EXPECT_EQ(store.text(QStringLiteral("Settings"), QStringLiteral("CalendarTop")), c.top);
        EXPECT_EQ(store.calendarWindowState(), c.readBack);
        const StoredGeometry g = store.calendarGeometry();
        EXPECT_EQ(g.left, 1500.0);
        EXPECT_EQ(g.top, 750.0);
        EXPECT_EQ(g.width, 9000.0);
        EXPECT_EQ(g.height, 7200.0);
    }
}

// A stored place in twips becomes the window's corner and size in pixels;
// what is missing keeps the current place, and a place off the screens
// never loses the window.
TEST(StoredPlace, KeepsTheWindowOnTheScreens)
{
    const QRect current(10, 20, 400, 300);
    const QRect desktop(0, 0, 1366, 740);
    const QSize minimum(370, 200);
    struct Case {
        const char *what;
        StoredGeometry stored;
        QRect desktop;
        QRect place;
    };
    const Case cases[] = {
        {"as stored", {1500, 750, 9000, 6000}, desktop, QRect(100, 50, 600, 400)},
        {"nothing stored", {}, desktop, current},
        {"only the top", {std::nullopt, 750, std::nullopt, std::nullopt}, desktop, QRect(10, 50, 400, 300)},
        {"left of every screen", {-30000, 750, 9000, 6000}, desktop, QRect(10, 20, 600, 400)},
        {"larger than the screens", {0, 0, 30000, 15000}, desktop, QRect(0, 0, 1366, 740)},
        {"smaller than the minimum", {0, 0, 1500, 1500}, desktop, QRect(0, 0, 370, 200)},
        {"no screen known", {-30000, 0, 30000, 15000}, QRect(), QRect(-2000, 0, 2000, 1000)},
        {"absurd numbers", {1e300, -1e300, 1e300, 1e300}, desktop, QRect(10, 20, 1366, 740)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(storedPlace(c.stored, current, c.desktop, minimum), c.place) << c.what;
}

// The recently used files: the latest first, each once, six at most, kept
// in RecentFile1 to RecentFile6; a "&" in a path is no access key.
TEST_F(SettingsTest, RecentFilesLatestFirstSixAtMost)
{
    const QString d = QStringLiteral("/data/");
    const struct {
        const char *name;
        QStringList files;
        QString used;
        QStringList expected;
    } cases[] = {
        {"first", {}, d + "a.vcs", {d + "a.vcs"}},
        {"to the front", {d + "a.vcs", d + "b.vcs"}, d + "c.vcs", {d + "c.vcs", d + "a.vcs", d + "b.vcs"}},
        {"once", {d + "a.vcs", d + "b.vcs", d + "c.vcs"}, d + "b.vcs", {d + "b.vcs", d + "a.vcs", d + "c.vcs"}},
        {"the same file by another road", {d + "a.vcs", d + "b.vcs"}, d + "x/../b.vcs", {d + "b.vcs", d + "a.vcs"}},
        {"the seventh goes",
         {d + "1.vcs", d + "2.vcs", d + "3.vcs", d + "4.vcs", d + "5.vcs", d + "6.vcs"},
         d + "7.vcs",
         {d + "7.vcs", d + "1.vcs", d + "2.vcs", d + "3.vcs", d + "4.vcs", d + "5.vcs"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList files = withRecentFile(c.files, c.used);
        EXPECT_EQ(files, c.expected);
        EXPECT_TRUE(SettingsStore().saveRecentFiles(files));
        EXPECT_EQ(SettingsStore().recentFiles(), c.expected);
    }
    EXPECT_TRUE(SettingsStore().saveRecentFiles({}));
    EXPECT_TRUE(SettingsStore().recentFiles().isEmpty());

    EXPECT_EQ(recentFileCaption(1, QStringLiteral("/home/a/予定.vcs")), QStringLiteral("&1 /home/a/予定.vcs"));
    EXPECT_EQ(recentFileCaption(6, QStringLiteral("/home/R&D/b.vcs")), QStringLiteral("&6 /home/R&&D/b.vcs"));
}
