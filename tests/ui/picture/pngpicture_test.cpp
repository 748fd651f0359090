// Preview pictures: PNG files decoded by Rasterly show the pixels Qt's own
// PNG reader sees, reduced as the bitmap holds them (16-bit samples by
// their high byte, alpha not drawn); the extension picks the decoder.
#include "declared_png.h"
#include "pngpicture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRgba64>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace skedra;

namespace {

const QString Suite = QStringLiteral(SKEDRA_SHARED_DIR "/testdata/pngsuite/");

// What a pixel of the bitmap shows, from Qt's reading of the file:
// 8 bits a channel (the high byte of 16-bit samples), no alpha. `wide` is
// Qt's reading in 16 bits a channel, unpremultiplied.
QRgb shownByTheBitmap(const QImage &wide, int x, int y)
{
    const QRgba64 p = reinterpret_cast<const QRgba64 *>(wide.constScanLine(y))[x];
    return qRgb(p.red() >> 8, p.green() >> 8, p.blue() >> 8);
}

} // namespace

TEST(PngPicture, PixelsMatchQtsReaderOfTheSameFile)
{
    const char *files[] = {
        "basn3p08.png",  // palette, 8 bits
        "basn3p04.png",  // palette, 4 bits (two pixels a byte)
        "basn3p02.png",  // palette, 2 bits (one byte a pixel)
        "basn0g01.png",  // black and white
        "basn0g08.png",  // grey
        "basn0g16.png",  // grey, 16 bits
        "basn2c08.png",  // RGB
        "basn2c16.png",  // RGB, 16 bits
        "basn4a08.png",  // grey with alpha
        "basn6a08.png",  // RGBA
        "basn6a16.png",  // RGBA, 16 bits
        "basi0g08.png",  // interlaced grey
        "basi3p04.png",  // interlaced palette, 4 bits
        "basi6a08.png",  // interlaced RGBA
        "s05n3p02.png",  // odd size
    };
    for (const char *name : files) {
        SCOPED_TRACE(name);
        const QString path = Suite + QLatin1String(name);
        const QImage qt(path);
        ASSERT_FALSE(qt.isNull());
        const QImage ours = LoadPngPicture(path);
        ASSERT_FALSE(ours.isNull());
        ASSERT_EQ(ours.size(), qt.size());
        const QImage wide = qt.convertToFormat(QImage::Format_RGBA64);
        int differing = 0;
        for (int y = 0; y < qt.height(); ++y) {
            for (int x = 0; x < qt.width(); ++x) {
                if (qRgb(qRed(ours.pixel(x, y)), qGreen(ours.pixel(x, y)), qBlue(ours.pixel(x, y)))
                    != shownByTheBitmap(wide, x, y))
                    ++differing;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(PngPicture, ExtensionPicksTheDecoderAndFailuresShowNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(20, 30, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 40));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("my.dir")));
    // The same non-PNG data under each name: only the reader the name picks
    // can show it. Qt's reader takes any format it knows by its content;
    // BMP rather than JPEG, since the sanitized build's leak checker (clang
    // 14 on glibc 2.36) crashes scanning the thread-local storage of the
    // JPEG library Qt loads.
    for (const char *name : {"a.jpg", "a.PNG", "my.dir/file"})
        ASSERT_TRUE(picture.save(dir.filePath(QLatin1String(name)), "BMP"));
    QFile::copy(Suite + QStringLiteral("basn2c08.png"), dir.filePath(QStringLiteral("b.PnG")));

    EXPECT_EQ(loadPreviewPicture(dir.filePath(QStringLiteral("a.jpg"))).size(), QSize(20, 30));
    EXPECT_EQ(loadPreviewPicture(dir.filePath(QStringLiteral("my.dir/file"))).size(), QSize(20, 30));
    EXPECT_TRUE(loadPreviewPicture(dir.filePath(QStringLiteral("a.PNG"))).isNull());   // Rasterly refuses
    EXPECT_EQ(loadPreviewPicture(dir.filePath(QStringLiteral("b.PnG"))).size(), QSize(32, 32));
    EXPECT_TRUE(loadPreviewPicture(dir.filePath(QStringLiteral("missing.png"))).isNull());
    EXPECT_TRUE(loadPreviewPicture(dir.filePath(QStringLiteral("missing.jpg"))).isNull());
    EXPECT_TRUE(loadPreviewPicture(QString()).isNull());
}

// A file of a few bytes may declare a picture of gigabytes. The preview
// decodes nothing over its limit and says why in one line; Rasterly itself
// refuses such rows for the preview before allocating them.
TEST(PngPicture, HugeDeclaredPicturesAreRefusedBeforeDecoding)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char *name;
        quint32 width, height;
        bool shown;
    } cases[] = {
        {"huge.png", 20000, 20000, false},  // 400 megapixels in 68 bytes
        {"wide.PNG", 64001, 1000, false},   // just over 64 megapixels
        {"limit.png", 8000, 8000, true},    // 64 megapixels: decoded
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(test::writeDeclaredPng(path, c.width, c.height, 0));
        testing::internal::CaptureStderr();
        const QImage picture = loadPreviewPicture(path);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(!picture.isNull(), c.shown) << c.name;
        if (c.shown) {
            EXPECT_EQ(said, "") << c.name;
        } else {
            EXPECT_EQ(said, QStringLiteral("skedra: no preview of %1: %2 x %3 pixels, more than the preview's 64 "
                                           "megapixels\n")
                                .arg(QDir::toNativeSeparators(path))
                                .arg(c.width)
                                .arg(c.height)
                                .toStdString());
        }
    }
    // Asked directly, Rasterly's own cap refuses the rows.
    const QString rgb = dir.filePath(QStringLiteral("rgb.png"));
    ASSERT_TRUE(test::writeDeclaredPng(rgb, 20000, 20000, 2));
    EXPECT_TRUE(LoadPngPicture(rgb).isNull());
}
