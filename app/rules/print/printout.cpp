#include "printout.h"

#include "gridrender.h"
#include "monthmodel.h"
#include "occurrence.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace skedra::print {

namespace {

const QColor GridLine(96, 96, 96);
const QColor HeaderBackground(224, 224, 224);  // the grids' fixed row

QColor colourOf(const calendar::Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont printFont(double points, bool bold = false)
{
    QFont font(PrintFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Kerning and hinting tuned for a screen would make the PDF's glyphs
    // differ from the printer's.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A page's paintable area in the device's pixels, and the conversions the
// layouts need.
struct Page {
    explicit Page(QPagedPaintDevice &device)
        : resolution(device.logicalDpiY())
        , area(device.pageLayout().paintRectPixels(resolution))
        , margin(device.pageLayout().paintRectPoints().topLeft())
    {
    }
    double px(double points) const { return points * resolution / 72.0; }
    // A rectangle of the paintable area in points from the page's corner.
    QRectF points(const QRectF &r) const
    {
        const double k = 72.0 / resolution;
        return {margin.x() + r.x() * k, margin.y() + r.y() * k, r.width() * k, r.height() * k};
    }
    double width() const { return area.width(); }
    double height() const { return area.height(); }

    int resolution;
    QRect area;
    QPointF margin;
};

// `text` broken into lines no wider than `width` on `device`, by Qt's
// line breaking: at word boundaries, which in Japanese fall between most
// characters, or anywhere in a word longer than a line.
QStringList wrapped(const QString &text, const QFont &font, QPaintDevice *device, double width)
{
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.isEmpty() ? QStringList{QString()} : lines;
}

// ---- the month ------------------------------------------------------------

struct MonthFonts {
    QFont title = printFont(18, true);
    QFont weekday = printFont(10, true);
    QFont dayNumber = printFont(10, true);
    QFont entry = printFont(8);
    QFont note = printFont(7.5);
    QFont heading = printFont(11, true);
    QFont continued = printFont(9.5);
};

// A day whose entries go on after the grid's page.
struct Continuation {
    int day;
    QColor background;
    QStringList entries;
};

} // namespace

QPageLayout a4Layout(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QString dayLine(const ScheduleEntry &entry)
{
    const QString &start = entry[DtStartValue];
    const QString &summary = entry[SummaryValue];
    if (start.size() < 12)
        return summary;
    return start.mid(8, 2) + u':' + start.mid(10, 2) + u' ' + summary;
}

MonthPrintout printMonth(const ScheduleList &list, QDate month, QDate today, QPagedPaintDevice &device)
{
    const calendar::MonthModel model = calendar::buildMonth(list, month, today, QString(), {});
    const calendar::Occurrences occurrences(list);
    const Page page(device);
    const MonthFonts fonts;
    QPainter painter(&device);
    painter.setRenderHint(QPainter::TextAntialiasing);

    MonthPrintout printout;
    printout.pages = 1;

    // The caption over the grid.
    const QFontMetricsF titleMetrics(fonts.title, &device);
    const double titleHeight = titleMetrics.height() * 1.5;
    painter.setFont(fonts.title);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop, model.caption);

    // The weekday names.
    const QFontMetricsF weekdayMetrics(fonts.weekday, &device);
    const double namesHeight = weekdayMetrics.height() * 1.6;
    const double columnWidth = page.width() / calendar::MonthColumns;
    const QPen gridPen(GridLine, page.px(0.6));
    painter.setFont(fonts.weekday);
    for (int column = 0; column < calendar::MonthColumns; ++column) {
        const calendar::MonthCell &cell = model.cells[0][size_t(column)];
        const QRectF r(column * columnWidth, titleHeight, columnWidth, namesHeight);
        painter.fillRect(r, HeaderBackground);
        painter.setPen(gridPen);
        painter.drawRect(r);
        painter.setPen(cell.foreground ? colourOf(*cell.foreground) : QColor(Qt::black));
        painter.drawText(r, Qt::AlignCenter, cell.text);
    }

    // The weeks the month takes, as the calendar places its days.
    const QDate first(month.year(), month.month(), 1);
    const int lastRow = calendar::cellOfDay(calendar::weekdayNumber(first), first.daysInMonth()).row;
    const double gridTop = titleHeight + namesHeight;
    const double rowHeight = (page.height() - gridTop) / lastRow;
    const QFontMetricsF numberMetrics(fonts.dayNumber, &device);
    const QFontMetricsF entryMetrics(fonts.entry, &device);
    const QFontMetricsF noteMetrics(fonts.note, &device);
    const double pad = page.px(2.5);
    const double lineHeight = entryMetrics.lineSpacing();
    const int linesInCell = int(std::floor((rowHeight - numberMetrics.height() - 2 * pad) / lineHeight));
    const double textWidth = columnWidth - 2 * pad;

    std::vector<Continuation> continuations;
    for (int row = 1; row <= lastRow; ++row) {
        for (int column = 0; column < calendar::MonthColumns; ++column) {
            const calendar::MonthCell &cell = model.cells[size_t(row)][size_t(column)];
            const QRectF r(column * columnWidth, gridTop + (row - 1) * rowHeight, columnWidth, rowHeight);
            if (cell.background)
                painter.fillRect(r, colourOf(*cell.background));
            painter.setPen(gridPen);
            painter.drawRect(r);
            if (cell.day == 0)
                continue;

            painter.setPen(Qt::black);
            painter.setFont(fonts.dayNumber);
            painter.drawText(QRectF(r.x() + pad, r.y() + pad, textWidth, numberMetrics.height()),
                             Qt::AlignLeft | Qt::AlignTop, QString::number(cell.day));

            // Every entry of the day, each kept whole: those that fit,
            // then a note for the rest when not all do.
            const std::vector<int> numbers = occurrences.entriesOn(
                calendar::CalendarDay::of(first.addDays(cell.day - 1)));
            std::vector<QStringList> entries;
            int needed = 0;
            for (int number : numbers) {
                entries.push_back(wrapped(dayLine(list[number - 1]), fonts.entry, &device, textWidth));
                needed += int(entries.back().size());
            }
            const int room = needed <= linesInCell ? linesInCell : linesInCell - 1;
            PrintedDay printed{cell.day, page.points(r), {}, 0};
            QStringList shownLines;
            size_t shown = 0;
            while (shown < entries.size() && shownLines.size() + entries[shown].size() <= room) {
                shownLines << entries[shown];
                printed.lines << dayLine(list[numbers[shown] - 1]);
                ++shown;
            }
            painter.setFont(fonts.entry);
            double y = r.y() + pad + numberMetrics.height();
            for (const QString &line : shownLines) {
                painter.drawText(QRectF(r.x() + pad, y, textWidth, lineHeight), Qt::AlignLeft | Qt::AlignTop, line);
                y += lineHeight;
            }
            if (shown < entries.size()) {
                Continuation rest{cell.day, cell.background ? colourOf(*cell.background) : QColor(Qt::white), {}};
                for (size_t i = shown; i < entries.size(); ++i)
                    rest.entries << dayLine(list[numbers[i] - 1]);
                printed.continued = int(rest.entries.size());
                painter.setFont(fonts.note);
                painter.drawText(QRectF(r.x() + pad, y, textWidth, noteMetrics.height()), Qt::AlignLeft | Qt::AlignTop,
                                 QStringLiteral("…他%1件は続きのページ").arg(printed.continued));
                continuations.push_back(std::move(rest));
            }
            printout.days.push_back(std::move(printed));
        }
    }
    std::sort(printout.days.begin(), printout.days.end(),
              [](const PrintedDay &a, const PrintedDay &b) { return a.day < b.day; });

    // The continuation pages: each day that did not fit under its date,
    // with the entries its cell could not hold.
    const QFontMetricsF headingMetrics(fonts.heading, &device);
    const QFontMetricsF continuedMetrics(fonts.continued, &device);
    const double indent = page.px(12);
    double y = page.height();
    auto startPage = [&] {
        device.newPage();
        ++printout.pages;
        painter.setFont(fonts.title);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                         model.caption + QStringLiteral("（続き）"));
        y = titleHeight;
    };
    for (const Continuation &rest : continuations) {
        const QDate date = first.addDays(rest.day - 1);
        const QString heading = QStringLiteral("%1月%2日（%3）")
                                    .arg(date.month())
                                    .arg(date.day())
                                    .arg(QLocale(QLocale::Japanese).dayName(date.dayOfWeek(), QLocale::ShortFormat));
        const double headingHeight = headingMetrics.height() * 1.4;
        bool headed = false;
        for (const QString &entry : rest.entries) {
            const QStringList lines = wrapped(entry, fonts.continued, &device, page.width() - indent);
            const double entryHeight = lines.size() * continuedMetrics.lineSpacing();
            if (y + (headed ? 0 : headingHeight) + entryHeight > page.height()) {
                startPage();
                headed = false;
            }
            if (!headed) {
                const QRectF bar(0, y, page.width(), headingHeight);
                painter.fillRect(bar, rest.background);
                painter.setPen(gridPen);
                painter.drawLine(bar.bottomLeft(), bar.bottomRight());
                painter.setPen(Qt::black);
                painter.setFont(fonts.heading);
                painter.drawText(bar.adjusted(pad, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, heading);
                y += headingHeight + page.px(2);
                headed = true;
            }
            painter.setFont(fonts.continued);
            for (const QString &line : lines) {
                painter.drawText(QRectF(indent, y, page.width() - indent, continuedMetrics.lineSpacing()),
                                 Qt::AlignLeft | Qt::AlignTop, line);
                y += continuedMetrics.lineSpacing();
            }
        }
        y += page.px(6);
    }
    return printout;
}

// ---- the list -------------------------------------------------------------

ListPrintout printList(const ListGrid &grid, const ListSheet &sheet, QPagedPaintDevice &device)
{
    const Page page(device);
    const QFont rowFont = printFont(8);
    const QFont headerFont = printFont(8, true);
    const QFont footerFont = printFont(7.5);
    const QFontMetricsF rowMetrics(rowFont, &device);
    const QFontMetricsF footerMetrics(footerFont, &device);
    const double rowHeight = rowMetrics.height() * 1.5;
    const double footerHeight = footerMetrics.height() * 2;
    const double pad = page.px(2);

    const int first = std::max(1, sheet.firstRow);
    const int last = std::min(grid.lastRow(), sheet.lastRow);
    const int rows = std::max(0, last - first + 1);

    // Columns 1 to 10 as the grid shows them (column 0 is its blank marker
    // column), each as wide as its widest text; the free texts, summary and
    // description, share what the page has left, or give up what it lacks.
    std::vector<int> columns;
    std::vector<double> widths;
    const QFontMetricsF headerMetrics(headerFont, &device);
    for (int col = 1; col < GridColumns; ++col) {
        if (sheet.columnWidths[size_t(col)] <= 0)
            continue;
        double natural = headerMetrics.horizontalAdvance(headerCaption(grid, col));
        for (int row = first; row <= last; ++row)
            natural = std::max(natural, rowMetrics.horizontalAdvance(grid.text(row, col)));
        columns.push_back(col);
        widths.push_back(natural + 2 * pad + page.px(1));
    }
    auto isFreeText = [](int col) { return col == 2 || col == 5; };
    double fixed = 0;
    std::vector<size_t> free;  // narrowest first
    for (size_t i = 0; i < columns.size(); ++i) {
        if (isFreeText(columns[i]))
            free.push_back(i);
        else
            fixed += widths[i];
    }
    std::sort(free.begin(), free.end(), [&](size_t a, size_t b) { return widths[a] < widths[b]; });
    double left = page.width() - fixed;
    if (!free.empty() && left >= page.width() / 4) {
        // Each free column takes its width while that is no more than an
        // even share of what is left; the last takes the rest.
        for (size_t k = 0; k < free.size(); ++k) {
            const double share = left / double(free.size() - k);
            double &w = widths[free[k]];
            w = k + 1 == free.size() ? left : std::min(w, share);
            left -= w;
        }
    } else {
        double total = 0;
        for (double w : widths)
            total += w;
        for (double &w : widths)
            w = w * page.width() / total;
    }
    std::vector<double> lefts{0};
    for (double w : widths)
        lefts.push_back(lefts.back() + w);

    ListPrintout printout;
    printout.rowsPerPage = std::max(1, int((page.height() - footerHeight) / rowHeight) - 1);
    printout.pages = std::max(1, (rows + printout.rowsPerPage - 1) / printout.rowsPerPage);

    QPainter painter(&device);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPen linePen(GridLine, page.px(0.4));
    const QString printed = QStringLiteral("印刷日 ") + sheet.printedAt.toString(u"yyyy/MM/dd HH:mm");

    auto drawRow = [&](double y, const ListGrid::RowTexts &texts, bool header) {
        const QRectF band(0, y, page.width(), rowHeight);
        if (header)
            painter.fillRect(band, HeaderBackground);
        painter.setPen(linePen);
        painter.drawLine(band.bottomLeft(), band.bottomRight());
        painter.setFont(header ? headerFont : rowFont);
        const QFontMetricsF metrics(painter.font(), &device);
        for (size_t i = 0; i < columns.size(); ++i) {
            const int col = columns[i];
            const QRectF cell(lefts[i], y, lefts[i + 1] - lefts[i], rowHeight);
            painter.setPen(linePen);
            painter.drawLine(cell.topLeft(), cell.bottomLeft());
            const QRectF inner = cell.adjusted(pad, 0, -pad, 0);
            const QString text = header ? headerCaption(grid, col) : texts[size_t(col)];
            const Qt::Alignment align = (isCentredColumn(col) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
            painter.setPen(Qt::black);
            painter.drawText(inner, align, metrics.elidedText(text, Qt::ElideRight, inner.width()));
        }
        painter.setPen(linePen);
        painter.drawLine(band.topRight(), band.bottomRight());
    };

    for (int p = 0; p < printout.pages; ++p) {
        if (p > 0)
            device.newPage();
        painter.setPen(linePen);
        painter.drawLine(QPointF(0, 0), QPointF(page.width(), 0));
        drawRow(0, grid.rowTexts(0), true);
        double y = rowHeight;
        const int pageFirst = first + p * printout.rowsPerPage;
        const int pageLast = std::min(last, pageFirst + printout.rowsPerPage - 1);
        for (int row = pageFirst; row <= pageLast; ++row, y += rowHeight)
            drawRow(y, grid.rowTexts(row), false);

        const QRectF footer(0, page.height() - footerHeight, page.width(), footerHeight);
        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, sheet.fileName);
        painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(p + 1).arg(printout.pages));
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, printed);
    }
    return printout;
}

QByteArray renderPdf(const Printout &printout, int *pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Skedra"));
        writer.setTitle(printout.title);
        writer.setResolution(600);
        writer.setPageLayout(printout.layout);
        const int count = printout.paint(writer);
        if (pages)
            *pages = count;
    }
    return bytes;
}

} // namespace skedra::print
