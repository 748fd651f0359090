// Pictures for the editor's preview: PNG files through the Rasterly
// library beside the program, everything else through Qt's image readers.
#pragma once

#include <QImage>
#include <QString>

namespace skedra {

// The largest picture the preview decodes, in pixels. The preview is 120
// pixels wide; a bigger file is not worth the memory and time of its rows
// (a few bytes may declare a picture of gigabytes).
constexpr qint64 PreviewPixelLimit = 64 * 1000 * 1000;

// Decodes a PNG file with Rasterly into the picture its bitmap shows: the
// colour table of 1-, 4- and 8-bit bitmaps, the colour channels of 24- and
// 32-bit ones (a 32-bit bitmap's fourth byte is not drawn). A null image
// when the library is missing or rejects the file (Rasterly refuses rows
// that would take more than the preview's largest picture needs), or when
// memory runs out. Rasterly is bound on the first call, from the program's
// own folder.
QImage LoadPngPicture(const QString &path);

// The preview picture of an attachment: LoadPngPicture when the file's
// extension is "PNG" in any case, Qt's image reader otherwise. A picture
// whose header declares more than PreviewPixelLimit pixels is not decoded:
// no picture, and one line on stderr says why.
QImage loadPreviewPicture(const QString &path);

} // namespace skedra
