// `skedra-vcs list`: the rows of a file as the list shows them.
#include "startup.h"
#include "test_entries.h"
#include "vcsio.h"
#include "vcslist.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

TEST(VcsList, RowsAsTheGridShowsThem)
{
    QTemporaryDir tmp;
    SessionState w;
    createHexCoder(w);
    w.ScheduleList[0] = entry(QStringLiteral("打合せ"), QStringLiteral("20240315093000"));
    w.ScheduleList[0][DescriptionValue] = QStringLiteral("会議室\tA");
    w.ScheduleList[0][DescriptionName] = QStringLiteral("DESCRIPTION");
    w.ScheduleList[0][DescriptionParams] = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
    w.ScheduleList[1] = entry(QStringLiteral("休み"));
    w.ScheduleList[1][ComponentName] = QStringLiteral("VTODO");
    w.ScheduleList[1][StatusValue] = QStringLiteral("COMPLETED");
    w.ScheduleList[1][ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
    w.ScheduleList[1][ShCategoriesValue] = QStringLiteral("32");
    w.SaveFileName = tmp.filePath(QStringLiteral("a.vcs"));
    w.FirstIndex = 1;
    w.LastIndex = MaxEntries;
    ASSERT_TRUE(proc_write(w).written);

    QList<QStringList> rows;
    ASSERT_TRUE(listRowsOfFile(w.SaveFileName, &rows));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], QStringList({"ｲﾍﾞﾝﾄ", "打合せ", "2024/03/15 09:30:00", "    /  /     :  :  ",
                                    "会議室\tA", "", "", "選択なし", "未設定", "予定"}));
    EXPECT_EQ(rows[1][0], QStringLiteral("ｱｸｼｮﾝ"));
    EXPECT_EQ(rows[1][7], QStringLiteral("プレゼント"));
    EXPECT_EQ(rows[1][9], QStringLiteral("完了"));

    EXPECT_EQ(runListCommand({}), 1);
    EXPECT_EQ(runListCommand({tmp.filePath(QStringLiteral("missing.vcs"))}), 1);
    EXPECT_EQ(runListCommand({QStringLiteral("list"), w.SaveFileName}), 0);
}
