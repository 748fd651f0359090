// FileEncode through real files.
#include "hexmill.h"
#include "../common/unprivileged.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>

#include <sys/stat.h>

namespace {

class HexmillFile : public ::testing::Test {
protected:
    std::string path(const char *name) const { return (m_dir.path() + "/" + name).toStdString(); }

    void write(const char *name, const QByteArray &bytes) const
    {
        QFile f(QString::fromStdString(path(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray read(const char *name) const
    {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
    CHexmill m_mill;
};

QByteArray allBytes()
{
    QByteArray b;
    for (int c = 0; c < 256; ++c)
        b += char(c);
    return b;
}

} // namespace

TEST_F(HexmillFile, EncodesAndDecodesWholeFiles)
{
    write("in.bin", QByteArray("a b~"));
    EXPECT_EQ(m_mill.FileEncode(path("in.bin").c_str(), path("out.txt").c_str(), 0, 0,
                                m_mill.GetChars(), "%"),
              0);
    EXPECT_EQ(read("out.txt"), QByteArray("a+b%7e"));
    EXPECT_EQ(m_mill.FileEncode(path("out.txt").c_str(), path("back.bin").c_str(), 1, 0, nullptr, "%"), 0);
    EXPECT_EQ(read("back.bin"), QByteArray("a b~"));
    // The caller's own result is not touched by file work.
    EXPECT_EQ(m_mill.GetMyMemOut(), nullptr);
}

TEST_F(HexmillFile, BinaryFilesRoundTripAndEmptyFilesWork)
{
    const QByteArray bytes = allBytes().repeated(40);
    write("in.bin", bytes);
    ASSERT_EQ(m_mill.FileEncode(path("in.bin").c_str(), path("enc.txt").c_str(), 0, 1, nullptr, "="), 0);
    EXPECT_EQ(read("enc.txt").size(), bytes.size() * 3);
    ASSERT_EQ(m_mill.FileEncode(path("enc.txt").c_str(), path("dec.bin").c_str(), 2, 1, nullptr, "="), 0);
    EXPECT_EQ(read("dec.bin"), bytes);

    write("empty", QByteArray());
    EXPECT_EQ(m_mill.FileEncode(path("empty").c_str(), path("e1").c_str(), 0, 0, nullptr, "="), 0);
    EXPECT_EQ(read("e1"), QByteArray());
    EXPECT_EQ(m_mill.FileEncode(path("empty").c_str(), path("e2").c_str(), 1, 0, nullptr, "="), 0);
    EXPECT_EQ(read("e2"), QByteArray());
}

TEST_F(HexmillFile, DecodingStopsAtTheFirstNul)
{
    write("in.txt", QByteArray("%41B\0%43", 8));
    ASSERT_EQ(m_mill.FileEncode(path("in.txt").c_str(), path("out").c_str(), 1, 0, nullptr, "%"), 0);
    EXPECT_EQ(read("out"), QByteArray("AB"));
}

TEST_F(HexmillFile, ReplacesAnExistingFileAndKeepsItsPermissions)
{
    write("in.bin", QByteArray("xy"));
    write("out.txt", QByteArray("an older and longer content"));
    ASSERT_EQ(::chmod(path("out.txt").c_str(), 0640), 0);
    ASSERT_EQ(m_mill.FileEncode(path("in.bin").c_str(), path("out.txt").c_str(), 0, 0, nullptr, "="), 0);
    EXPECT_EQ(read("out.txt"), QByteArray("=78=79"));
    struct stat st {};
    ASSERT_EQ(::stat(path("out.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(files(), QStringList({"in.bin", "out.txt"}));
}

TEST_F(HexmillFile, FailuresComeBackAsCodesAndLeaveTheTargetAlone)
{
    write("bad.txt", QByteArray("ok%4"));
    write("keep.txt", QByteArray("keep me"));
    EXPECT_EQ(m_mill.FileEncode(path("bad.txt").c_str(), path("keep.txt").c_str(), 1, 0, nullptr, "%"),
              HEXMILL_BAD_DIGIT);
    EXPECT_EQ(m_mill.FileEncode(path("missing").c_str(), path("keep.txt").c_str(), 0, 0, nullptr, "%"),
              BASEKIT_OPEN_FAILED);
    EXPECT_EQ(m_mill.FileEncode(m_dir.path().toStdString().c_str(), path("keep.txt").c_str(), 0, 0,
                                nullptr, "%"),
              BASEKIT_OPEN_FAILED);
    EXPECT_EQ(m_mill.FileEncode(path("bad.txt").c_str(), path("no/such/dir/out").c_str(), 0, 0,
                                nullptr, "%"),
              BASEKIT_CREATE_FAILED);
    EXPECT_EQ(m_mill.FileEncode(path("bad.txt").c_str(), m_dir.path().toStdString().c_str(), 0, 0,
                                nullptr, "%"),
              BASEKIT_CREATE_FAILED);
    EXPECT_EQ(m_mill.FileEncode(nullptr, path("keep.txt").c_str(), 0, 0, nullptr, "%"),
              HEXMILL_BAD_ARGUMENT);
    EXPECT_EQ(read("keep.txt"), QByteArray("keep me"));
    EXPECT_EQ(files(), QStringList({"bad.txt", "keep.txt"}));
}

TEST_F(HexmillFile, BasekitReadsAndWritesWholeFiles)
{
    CBasekit kit;
    const QByteArray bytes = allBytes().repeated(100);
    ASSERT_EQ(kit.SFileWrite(bytes.constData(), size_t(bytes.size()), path("f").c_str()), 0);
    char *data = nullptr;
    ASSERT_EQ(kit.SFileRead(path("f").c_str(), &data), bytes.size());
    EXPECT_EQ(QByteArray(data, bytes.size()), bytes);
    EXPECT_EQ(data[bytes.size()], '\0');
    kit.Sfree(&data);
    EXPECT_EQ(data, nullptr);
    // A pipe has no size to go by: it is read as it comes.
    EXPECT_EQ(kit.SFileRead("/proc/self/status", &data) > 0, true);
    kit.Sfree(&data);
}

// What is not a regular file beside a writable folder is never replaced: a
// link keeps pointing at its target, a FIFO is written in place, and in a
// folder without room for a temporary file the target itself is written.
TEST_F(HexmillFile, WritesInPlaceWhatItMustNotReplace)
{
    write("in.bin", QByteArray("xy"));
    write("real.txt", QByteArray("old"));
    ASSERT_EQ(::symlink(path("real.txt").c_str(), path("link.txt").c_str()), 0);
    ASSERT_EQ(m_mill.FileEncode(path("in.bin").c_str(), path("link.txt").c_str(), 0, 0, nullptr, "="), 0);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path("link.txt"))).isSymLink());
    EXPECT_EQ(read("real.txt"), QByteArray("=78=79"));

    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile f(QString::fromStdString(path("fifo")));
        if (f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            received = f.readAll();
    });
    const long rc = m_mill.FileEncode(path("in.bin").c_str(), path("fifo").c_str(), 0, 0, nullptr, "=");
    reader.join();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(received, QByteArray("=78=79"));

    ASSERT_EQ(::chmod(m_dir.path().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(::mkdir(path("ro").c_str(), 0755), 0);
    write("ro/out.txt", QByteArray("old"));
    ASSERT_EQ(::chmod(path("ro/out.txt").c_str(), 0666), 0);
    ASSERT_EQ(::chmod(path("ro").c_str(), 0555), 0);
    std::string why;
    const std::optional<int> rcInFolder = skedra::test::wherePermissionsHold(
        [&] { return int(-m_mill.FileEncode(path("in.bin").c_str(), path("ro/out.txt").c_str(), 0, 0, nullptr, "=")); },
        why);
    ::chmod(path("ro").c_str(), 0755);
    if (!rcInFolder)
        GTEST_SKIP() << why;
    EXPECT_EQ(*rcInFolder, 0);
    EXPECT_EQ(read("ro/out.txt"), QByteArray("=78=79"));
    EXPECT_EQ(QDir(QString::fromStdString(path("ro"))).entryList(QDir::Files), QStringList{"out.txt"});
}
