// Pictures for the editor's preview: PNG files through the Rasterly
// library beside the program, everything else through Qt's image readers.
#pragma once

#include <QImage>
#include <QString>

namespace skedra {

// Decodes a PNG file with Rasterly into the picture its bitmap shows: the
// colour table of 1-, 4- and 8-bit bitmaps, the colour channels of 24- and
// 32-bit ones (a 32-bit bitmap's fourth byte is not drawn). A null image
// when the library is missing or rejects the file. Rasterly is bound on
// the first call, from the program's own folder.
QImage LoadPngPicture(const QString &path);

// The preview picture of an attachment: LoadPngPicture when the file's
// extension is "PNG" in any case, Qt's image reader otherwise.
QImage loadPreviewPicture(const QString &path);

} // namespace skedra
