// The attribute commands as the handset sees them: read a file, apply a
// command, write the file again.
#include "attributes.h"
#include "hexcoding.h"
#include "session.h"
#include "vcsio.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace skedra;

namespace {

// Two events as a handset writes them, one calendar object each: neither has
// a CLASS line, the first has a CATEGORIES line, the second a stamp.
const char HandsetFile[] =
    "BEGIN:VCALENDAR\r\n"
    "VERSION:1.0\r\n"
    "BEGIN:VEVENT\r\n"
    "DTSTART:20240401T000000Z\r\n"
    "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=89=EF=8B=63\r\n"
    "CATEGORIES:BUSINESS\r\n"
    "DALARM:00000000T000000Z;\r\n"
    "END:VEVENT\r\n"
    "END:VCALENDAR\r\n"
    "BEGIN:VCALENDAR\r\n"
    "VERSION:1.0\r\n"
    "BEGIN:VEVENT\r\n"
    "DTSTART:20240402T000000Z\r\n"
    "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=89=EF=8B=63\r\n"
    "DALARM:20240401T233000Z;=82=60=82=61\r\n"
    "X-JPGSH-CATEGORIES:18\r\n"
    "END:VEVENT\r\n"
    "END:VCALENDAR\r\n";

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.HexCoder = createHexCodingObject(QString::fromLatin1(HexCodingProgId));
        ASSERT_NE(session.HexCoder, nullptr);
        session.HexCoder->SetAddChar(QStringLiteral("="));
        session.HexCoder->SetMode(QStringLiteral("1"));
        ASSERT_TRUE(readVcsData(session, QByteArray(HandsetFile)).read);
        ASSERT_EQ(session.ScheduleList.count(), 2);
    }

    QList<QByteArray> objectLines(int entry)
    {
        session.FirstIndex = entry;
        session.LastIndex = entry;
        int unencodable = -1;
        const QByteArray bytes = renderVcsData(session, &unencodable);
        EXPECT_EQ(unencodable, 0);
        return bytes.split('\n');
    }

    static bool hasLine(const QList<QByteArray> &lines, const QByteArray &line)
    {
        return lines.contains(line + '\r');
    }

    static bool hasLineStarting(const QList<QByteArray> &lines, const QByteArray &start)
    {
        return std::any_of(lines.begin(), lines.end(), [&](const QByteArray &l) { return l.startsWith(start); });
    }

    SessionState session;
};

} // namespace

TEST_F(RoundTrip, SecretReachesAFileThatHadNoClassLine)
{
    ApplyAttribute(session, {1, 2}, AttributeCommand::SecretOn);
    EXPECT_TRUE(hasLine(objectLines(1), "CLASS:PRIVATE"));
    EXPECT_TRUE(hasLine(objectLines(2), "CLASS:PRIVATE"));
}

TEST_F(RoundTrip, CategoryAndStampReplaceEachOther)
{
    SetCategory(session, {1, 1}, categories::Menu::Cate2, 29);  // 注射 over BUSINESS
    SetCategory(session, {2, 2}, categories::Menu::Cate, 5);    // ミーティング over 映画
    const auto first = objectLines(1);
    EXPECT_TRUE(hasLine(first, "X-JPGSH-CATEGORIES:53"));
    EXPECT_FALSE(hasLineStarting(first, "CATEGORIES"));
    const auto second = objectLines(2);
    EXPECT_TRUE(hasLine(second, "CATEGORIES:MEETING"));
    EXPECT_FALSE(hasLineStarting(second, "X-JPGSH-CATEGORIES"));
}

TEST_F(RoundTrip, NarrowedAlarmMessageKeepsItsMoment)
{
    const QString before = session.ScheduleList.at(1, DAlarmValue);
    ASSERT_TRUE(before.endsWith(QStringLiteral(";ＡＢ")));
    ASSERT_TRUE(ZtoH(session, 1));
    EXPECT_EQ(session.ScheduleList.at(1, DAlarmValue), before.left(before.size() - 2) + QStringLiteral("AB"));
    EXPECT_TRUE(hasLine(objectLines(2), "DALARM:20240401T233000Z;=41=42"));
}
