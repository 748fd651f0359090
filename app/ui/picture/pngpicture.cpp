#include "pngpicture.h"

#include "editormodel.h"  // UpperExtension

#include <rasterly/rasterly.h>  // the exports' types and the bitmap block

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLibrary>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace skedra {

namespace {

// The exports are called through pointers of exactly their declared types.
using LoadPng = decltype(&mLoadPNGLimit);
using GetPngData = decltype(&mGetPNGData);
using EndPng = decltype(&mEndPNG);

// The three exports, bound once; all null when the library is not there.
struct Rasterly {
    LoadPng load = nullptr;
    GetPngData data = nullptr;
    EndPng end = nullptr;

    static const Rasterly &instance()
    {
        static const Rasterly bound = bind();
        return bound;
    }

private:
    static Rasterly bind()
    {
        QLibrary library(QCoreApplication::applicationDirPath() + QStringLiteral("/rasterly"));
        Rasterly r;
        if (library.load()) {
            r.load = reinterpret_cast<LoadPng>(library.resolve("mLoadPNGLimit"));
            r.data = reinterpret_cast<GetPngData>(library.resolve("mGetPNGData"));
            r.end = reinterpret_cast<EndPng>(library.resolve("mEndPNG"));
        }
        if (!r.load || !r.data || !r.end) {
            std::fprintf(stderr, "skedra: PNG previews are off: %s\n",
                         qPrintable(library.errorString()));
            return {};
        }
        return r;
    }
};

QImage::Format formatOf(int bitCount)
{
    switch (bitCount) {
    case 1: return QImage::Format_Mono;  // most significant bit first, as in the file
    case 4: return QImage::Format_Indexed8;  // unpacked below
    case 8: return QImage::Format_Indexed8;
    case 24: return QImage::Format_BGR888;
    case 32: return QImage::Format_RGB32;  // blue, green, red, unused: as drawn
    default: return QImage::Format_Invalid;
    }
}

// The most bytes Rasterly may give the rows of a preview: the largest
// picture at the widest PNG pixel (16-bit RGBA, 8 bytes).
constexpr int64_t PreviewRowLimit = int64_t(512) << 20;
static_assert(PreviewPixelLimit * 8 < PreviewRowLimit, "room for the filter bytes");

void sayNoPreview(const QString &path, const QString &why)
{
    std::fprintf(stderr, "skedra: no preview of %s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(why));
}

// The rows of a 4-bit bitmap, two pixels a byte, as one byte a pixel.
QImage unpackNibbles(const uchar *rows, int width, int height, qsizetype stride)
{
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return image;  // no memory for it
    for (int y = 0; y < height; ++y) {
        const uchar *in = rows + y * stride;
        uchar *out = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F;
    }
    return image;
}

// The caller's pixel block for Rasterly: zeroed, as the library expects,
// by calloc, whose large blocks are fresh pages that cost memory only as
// rows are written to them.
struct FreeBlock {
    void operator()(uchar *p) const { std::free(p); }
};
using Pixels = std::unique_ptr<uchar, FreeBlock>;

// The picture a device-independent bitmap shows. Where Qt has a matching
// format the image wraps the rows and owns the block from then on.
QImage pictureOf(const RASTERLY_BITMAPINFO256 &info, Pixels pixels, qsizetype size)
{
    const BITMAPINFOHEADER &h = info.bmiHeader;
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const QImage::Format format = formatOf(h.biBitCount);
    if (width <= 0 || height <= 0 || format == QImage::Format_Invalid)
        return QImage();
    const qsizetype stride = ((qsizetype(width) * h.biBitCount + 31) / 32) * 4;
    if (stride * height > size)
        return QImage();

    QImage image;
    if (h.biBitCount == 4) {
        image = unpackNibbles(pixels.get(), width, height, stride);
    } else {
        uchar *block = pixels.release();
        image = QImage(block, width, height, stride, format, [](void *p) { std::free(p); }, block);
    }
    if (h.biHeight > 0)
        image = image.mirrored(false, true);  // bottom-up rows
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono) {
        const int colours = 1 << qMin<int>(h.biBitCount, 8);
        QList<QRgb> table;
        table.reserve(colours);
        for (int i = 0; i < colours; ++i) {
            const RGBQUAD &c = info.bmiColors[i];
            table.append(qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
        image.setColorTable(table);
    }
    return image;
}

} // namespace

QImage LoadPngPicture(const QString &path)
{
    const Rasterly &rasterly = Rasterly::instance();
    if (!rasterly.load)
        return QImage();
    RASTERLY_BITMAPINFO256 info;
    std::memset(&info, 0, sizeof info);
    PngHandle *handle = nullptr;
    int32_t size = 0;
    if (rasterly.load(QFile::encodeName(path).constData(), &handle, reinterpret_cast<BITMAPINFO *>(&info), &size,
                      PreviewRowLimit)
        != 1)
        return QImage();
    Pixels pixels(static_cast<uchar *>(std::calloc(size > 0 ? size_t(size) : 1, 1)));
    if (!pixels) {
        rasterly.end(&handle);
        sayNoPreview(path, QStringLiteral("not enough memory for %1 bytes").arg(size));
        return QImage();
    }
    const int32_t read = rasterly.data(&handle, pixels.get());
    rasterly.end(&handle);
    if (read != 1)
        return QImage();
    return pictureOf(info, std::move(pixels), size);
}

QImage loadPreviewPicture(const QString &path)
{
    if (path.isEmpty())
        return QImage();
    // The header alone says how big the picture is.
    QImageReader reader(path);
    const QSize declared = reader.size();
    if (qint64(declared.width()) * declared.height() > PreviewPixelLimit) {
        sayNoPreview(path, QStringLiteral("%1 x %2 pixels, more than the preview's %3 megapixels")
                               .arg(declared.width())
                               .arg(declared.height())
                               .arg(PreviewPixelLimit / 1000000));
        return QImage();
    }
    if (UpperExtension(path) == QLatin1String("PNG"))
        return LoadPngPicture(path);
    return reader.read();
}

} // namespace skedra
