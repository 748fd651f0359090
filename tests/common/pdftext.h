// What a PDF says, as a reader's text extraction finds it: pdftotext and
// pdfinfo (poppler-utils) over the bytes the program wrote.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <cmath>
#include <optional>

namespace skedra::test {

inline QString runPoppler(const QString &program, QStringList arguments, const QByteArray &pdf)
{
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("<no temporary file>");
    file.write(pdf);
    file.flush();
    arguments << file.fileName();
    if (program == QLatin1String("pdftotext"))
        arguments << QStringLiteral("-");
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfRegion {
    int page = 1;                 // 1-based
    std::optional<QRectF> crop{}; // in points from the page's top left corner
    bool layout = false;          // keep the lines' columns (-layout)
};

// The text of one page, or of a rectangle of it.
inline QString pdfText(const QByteArray &pdf, const PdfRegion &region)
{
    QStringList args{QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"),
                     QString::number(region.page), QStringLiteral("-l"), QString::number(region.page)};
    if (region.layout)
        args << QStringLiteral("-layout");
    if (region.crop) {
        const QRectF &r = *region.crop;
        args << QStringLiteral("-r") << QStringLiteral("72")
             << QStringLiteral("-x") << QString::number(int(std::floor(r.left())))
             << QStringLiteral("-y") << QString::number(int(std::floor(r.top())))
             << QStringLiteral("-W") << QString::number(int(std::ceil(r.width())))
             << QStringLiteral("-H") << QString::number(int(std::ceil(r.height())));
    }
    return runPoppler(QStringLiteral("pdftotext"), args, pdf);
}

// The text of the whole document, pages separated by form feeds.
inline QString pdfText(const QByteArray &pdf)
{
    return runPoppler(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8")}, pdf);
}

// The page count pdfinfo reports; -1 when it cannot read the file.
inline int pdfPages(const QByteArray &pdf)
{
    const QString info = runPoppler(QStringLiteral("pdfinfo"), {}, pdf);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The fonts pdffonts lists, one line each.
inline QString pdfFonts(const QByteArray &pdf)
{
    return runPoppler(QStringLiteral("pdffonts"), {}, pdf);
}

} // namespace skedra::test
