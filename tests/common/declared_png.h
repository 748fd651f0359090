// PNG files that declare a picture of any size in a few dozen bytes: the
// header chunk, an image-data chunk holding an empty zlib stream (rows it
// does not reach read as zeros) and the end chunk, each with its CRC.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <array>
#include <cstdint>

namespace skedra::test {

// The chunk CRC of PNG: CRC-32, reflected polynomial 0xEDB88320.
inline quint32 pngCrc(const QByteArray &typeAndData)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : typeAndData)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline void appendBe32(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(value >> shift));
}

inline void appendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    appendBe32(out, quint32(data.size()));
    const QByteArray typeAndData = QByteArray(type, 4) + data;
    out += typeAndData;
    appendBe32(out, pngCrc(typeAndData));
}

// A PNG of `width` x `height` pixels, 8 bits a sample, of `colourType` (0
// grey, 2 RGB).
inline QByteArray declaredPng(quint32 width, quint32 height, int colourType)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBe32(header, width);
    appendBe32(header, height);
    header += QByteArray::fromHex("08") + char(colourType) + QByteArray(3, '\0');
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", QByteArray::fromHex("7801010000ffff00000001"));  // an empty zlib stream
    appendChunk(png, "IEND", QByteArray());
    return png;
}

inline bool writeDeclaredPng(const QString &path, quint32 width, quint32 height, int colourType)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(declaredPng(width, height, colourType)) > 0;
}

} // namespace skedra::test
