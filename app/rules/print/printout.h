// The month and the list on paper. Each printout lays out its pages for the
// page of the device it is given and paints them with QPainter, so the same
// code draws into the print preview's printer and into a PDF writer; it
// needs Qt Gui and no widget.
//
// The month is the calendar's month: its caption, the weekday names and the
// day colours come from the month model, and a day lists every entry that
// falls on it as "hh:mm summary" in list order. A day whose entries do not
// fit in its cell shows what fits and a note, and its other entries follow
// on continuation pages after the grid, so nothing is cut.
//
// The list is the list grid: the header texts and row texts it shows for the
// current model, the columns in the grid's width proportions, the header row
// on every page, and a footer with the file name, "n / m" and the print
// date.
#pragma once

#include "listgrid.h"
#include "schedule.h"

#include <QDate>
#include <QDateTime>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QPagedPaintDevice;

namespace skedra::print {

// What the user chose to print.
enum class Subject { Month, AllRows, SelectedRows };

struct PrintChoice {
    Subject subject = Subject::Month;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    bool operator==(const PrintChoice &) const = default;
};

// The family every printout is set in; it covers kanji, kana and half-width
// kana, and PDF files embed it.
inline const QString PrintFontFamily = QStringLiteral("IPAGothic");

// A4 with margins of 10 mm, in `orientation`.
QPageLayout a4Layout(QPageLayout::Orientation orientation);

// One day's text as the printed month shows it: "hh:mm summary" from the
// entry's start, or the summary alone when the start has no time.
QString dayLine(const ScheduleEntry &entry);

// A day cell of the printed grid, in points from the top left corner of the
// page.
struct PrintedDay {
    int day = 0;
    QRectF cell;
    QStringList lines;  // the entry lines shown in the cell
    int continued = 0;  // entries that follow on the continuation pages
};

// How the month went onto paper.
struct MonthPrintout {
    int pages = 0;
    std::vector<PrintedDay> days;  // day 1 first
};

// Paints the month that holds `month` onto `device`, whose page layout the
// caller set (a4Layout(Landscape) by default). `today` gets the calendar's
// colour of today.
MonthPrintout printMonth(const ScheduleList &list, QDate month, QDate today, QPagedPaintDevice &device);

// What a list printout shows besides the grid's texts.
struct ListSheet {
    int firstRow = 1;  // the grid's data rows first..last
    int lastRow = 1;
    std::array<int, GridColumns> columnWidths{};  // the grid's, in twips; 0 hides a column
    QString fileName;                             // the footer's file name
    QDateTime printedAt;                          // the footer's print date
};

struct ListPrintout {
    int pages = 0;
    int rowsPerPage = 0;
};

// Paints the rows `sheet` names of `grid` onto `device`, whose page layout
// the caller set.
ListPrintout printList(const ListGrid &grid, const ListSheet &sheet, QPagedPaintDevice &device);

// A printout ready to be painted: what the preview paints each time it
// redraws and what a PDF file is written from.
struct Printout {
    QString title;            // "2005年04月" or the list's file name
    QPageLayout layout;       // the starting page layout
    std::function<int(QPagedPaintDevice &)> paint;  // returns the page count
};

// Renders `printout` into PDF bytes with its own page layout, fonts
// embedded; `pages` (optional) receives the page count.
QByteArray renderPdf(const Printout &printout, int *pages = nullptr);

} // namespace skedra::print
