// The month and the list on paper, read back from the PDF the way a reader
// finds text in it (pdftotext), so what is checked is what is on the page.
#include "printout.h"

#include "fulllist.h"
#include "gridrender.h"
#include "pdftext.h"
#include "session.h"
#include "startup.h"
#include "testentries.h"
#include "vcsio.h"

#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::print;

namespace {

const QDate April2005(2005, 4, 1);
const QDate Today(2005, 4, 11);

struct MonthPdf {
    QByteArray bytes;
    MonthPrintout printout;
};

MonthPdf monthPdf(const ScheduleList &list, QDate month)
{
    MonthPdf pdf;
    const Printout printout{QStringLiteral("month"), a4Layout(QPageLayout::Landscape),
                            [&](QPagedPaintDevice &device) {
                                pdf.printout = printMonth(list, month, Today, device);
                                return pdf.printout.pages;
                            }};
    pdf.bytes = renderPdf(printout);
    return pdf;
}

const PrintedDay &dayOf(const MonthPrintout &printout, int day)
{
    const auto it = std::find_if(printout.days.begin(), printout.days.end(),
                                 [day](const PrintedDay &d) { return d.day == day; });
    EXPECT_NE(it, printout.days.end()) << "day " << day;
    return *it;
}

// The non-empty lines of a text.
QStringList linesOf(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        if (!line.trimmed().isEmpty() && line != QLatin1String("\f"))
            lines << line.trimmed().remove(u'\f');
    return lines;
}

ScheduleList sampleList()
{
    SessionState s;
    createHexCoder(s);
    s.OpenFileName = QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs");
    s.OpenMode = QStringLiteral("new");
    EXPECT_TRUE(proc_open(s).read);
    return s.ScheduleList;
}

} // namespace

// Each day of the sample's April 2005 holds, under its number, the entries
// that fall on it by the repeat rules, "hh:mm summary" in list order: the
// Monday meeting (W1 MO) on the Mondays, the jogging (D1 #3) on the 1st to
// the 3rd, the rent (MP1 15) on the 15th, the report and the holiday on
// their own days; the birthday (yearly, May 3) nowhere. Every other day
// shows its number alone.
TEST(PrintMonth, SampleAprilShowsEachDaysEntriesInItsCell)
{
    const MonthPdf pdf = monthPdf(sampleList(), April2005);
    ASSERT_EQ(pdf.printout.pages, 1);
    EXPECT_EQ(test::pdfPages(pdf.bytes), 1);
    ASSERT_EQ(pdf.printout.days.size(), 30u);

    const QString page = test::pdfText(pdf.bytes, {});
    for (const char *text : {"2005年04月", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(text))) << text;

    const std::map<int, QStringList> expected = {
        {1, {"06:30 朝のジョギング"}},  {2, {"06:30 朝のジョギング"}}, {3, {"06:30 朝のジョギング"}},
        {4, {"10:00 定例会議"}},        {11, {"10:00 定例会議"}},      {15, {"09:00 家賃の振込み"}},
        {18, {"10:00 定例会議"}},       {22, {"17:00 報告書の提出"}},  {25, {"10:00 定例会議"}},
        {29, {"00:00 昭和の日"}},
    };
    for (int day = 1; day <= 30; ++day) {
        const auto it = expected.find(day);
        const QStringList entries = it == expected.end() ? QStringList{} : it->second;
        const PrintedDay &printed = dayOf(pdf.printout, day);
        EXPECT_EQ(printed.lines, entries) << "day " << day;
        EXPECT_EQ(printed.continued, 0);
        const QStringList cell = linesOf(test::pdfText(pdf.bytes, {1, printed.cell}));
        EXPECT_EQ(cell, QStringList{QString::number(day)} + entries) << "day " << day;
    }
}

// Twelve entries on one day do not fit in its cell: the cell shows the
// first ones and says how many follow, and a continuation page lists the
// rest under the date, so each of the twelve is printed exactly once, in
// list order. As many entries as the cell holds print on one page.
TEST(PrintMonth, DayBeyondItsCellContinuesOnTheNextPage)
{
    ScheduleList list;
    QStringList lines;
    for (int i = 0; i < 12; ++i) {
        const QString time = QStringLiteral("%1").arg(8 + i, 2, 10, QLatin1Char('0'));
        const QString summary = QStringLiteral("打合せ%1").arg(QChar(u'Ａ' + i));
        list[i] = test::makeEntry(QStringLiteral("20050412") + time + QStringLiteral("0000"), summary);
        lines << time + QStringLiteral(":00 ") + summary;
    }
    list[12] = test::makeEntry(QStringLiteral("20050413090000"), QStringLiteral("翌日"));

    const MonthPdf pdf = monthPdf(list, April2005);
    EXPECT_EQ(pdf.printout.pages, 2);
    EXPECT_EQ(test::pdfPages(pdf.bytes), 2);
    const PrintedDay &twelfth = dayOf(pdf.printout, 12);
    const int shown = int(twelfth.lines.size());
    ASSERT_GT(shown, 0);
    ASSERT_EQ(shown + twelfth.continued, 12);
    EXPECT_EQ(twelfth.lines, lines.mid(0, shown));
    EXPECT_EQ(linesOf(test::pdfText(pdf.bytes, {1, twelfth.cell})),
              QStringList{QStringLiteral("12")} + lines.mid(0, shown)
                  + QStringList{QStringLiteral("…他%1件は続きのページ").arg(12 - shown)});
    EXPECT_EQ(dayOf(pdf.printout, 13).lines, QStringList{QStringLiteral("09:00 翌日")});

    EXPECT_EQ(linesOf(test::pdfText(pdf.bytes, {2})),
              QStringList({QStringLiteral("2005年04月（続き）"), QStringLiteral("4月12日（火）")}) + lines.mid(shown));

    // Exactly as many as the cell holds: no note, no second page.
    ScheduleList fitting;
    for (int i = 0; i < shown + 1; ++i)
        fitting[i] = list[i];
    const MonthPdf full = monthPdf(fitting, April2005);
    EXPECT_EQ(full.printout.pages, 1);
    EXPECT_EQ(dayOf(full.printout, 12).lines, lines.mid(0, shown + 1));
    EXPECT_EQ(dayOf(full.printout, 12).continued, 0);
}

// A summary longer than its cell is wide wraps onto further lines of the
// cell, Japanese between characters and English at its spaces, and is
// printed whole: the cell's lines read back joined are the day's line.
TEST(PrintMonth, LongSummariesWrapWholeInTheirCell)
{
    const QStringList summaries = {
        QStringLiteral("第３四半期予算見直し会議資料作成および関係部署との事前調整"),
        QStringLiteral("Quarterly budget review with the regional sales team"),
    };
    ScheduleList list;
    list[0] = test::makeEntry(QStringLiteral("20050405093000"), summaries[0]);
    list[1] = test::makeEntry(QStringLiteral("20050406093000"), summaries[1]);

    const MonthPdf pdf = monthPdf(list, April2005);
    EXPECT_EQ(pdf.printout.pages, 1);
    for (int i = 0; i < 2; ++i) {
        const PrintedDay &day = dayOf(pdf.printout, 5 + i);
        ASSERT_EQ(day.lines, QStringList{QStringLiteral("09:30 ") + summaries[i]});
        QStringList cell = linesOf(test::pdfText(pdf.bytes, {1, day.cell}));
        ASSERT_FALSE(cell.isEmpty());
        cell.removeFirst();  // the day's number
        EXPECT_GT(cell.size(), 1) << summaries[i].toStdString();
        EXPECT_EQ(cell.join(i == 0 ? QString() : QStringLiteral(" ")), day.lines[0]);
    }
}

namespace {

struct ListPdf {
    QByteArray bytes;
    ListPrintout printout;
};

ListPdf listPdf(const ListGrid &grid, const ListSheet &sheet, QPageLayout::Orientation orientation)
{
    ListPdf pdf;
    const Printout printout{QStringLiteral("list"), a4Layout(orientation), [&](QPagedPaintDevice &device) {
                                pdf.printout = printList(grid, sheet, device);
                                return pdf.printout.pages;
                            }};
    pdf.bytes = renderPdf(printout);
    return pdf;
}

ListSheet sheetFor(int first, int last)
{
    ListSheet sheet;
    sheet.firstRow = first;
    sheet.lastRow = last;
    for (int col = 0; col < GridColumns; ++col)
        sheet.columnWidths[size_t(col)] = defaultColumnWidthTwips(col);
    sheet.fileName = QStringLiteral("full.vcs");
    sheet.printedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 30));
    return sheet;
}

} // namespace

// The 500-entry list on A4 of either orientation and for either header
// form: every page begins with the header row, ends with the file name,
// "n / m" and the print date, and the rows follow one another in list
// order, each on one line with its own start. Landscape pages hold fewer
// rows. A selected band prints only its rows.
TEST(PrintList, EveryRowInOrderUnderTheHeaderOnEveryPage)
{
    SessionState s;
    test::fillFullList(s.ScheduleList);
    struct Case {
        QPageLayout::Orientation orientation;
        const char *model;
        const char *column8;
    };
    int portraitPages = 0;
    for (const Case &c : {Case{QPageLayout::Portrait, "SH53", "ｶﾃｺﾞﾘ"}, Case{QPageLayout::Landscape, "603SH", "ｽﾀﾝﾌﾟ"}}) {
        SCOPED_TRACE(c.model);
        ListGrid grid;
        grid.setFormatString(headerFormatFor(QLatin1String(c.model)));
        fitGridToList(s.ScheduleList, grid, true);
        sortByColumn(s.ScheduleList, grid, 2);  // the header shows "▲ 件名"; the paper does not
        const ListPdf pdf = listPdf(grid, sheetFor(1, MaxEntries), c.orientation);
        const int pages = pdf.printout.pages;
        EXPECT_EQ(test::pdfPages(pdf.bytes), pages);
        EXPECT_GT(pages, 1);
        if (c.orientation == QPageLayout::Portrait)
            portraitPages = pages;
        else
            EXPECT_GT(pages, portraitPages);

        int row = 1;
        for (int p = 1; p <= pages; ++p) {
            const QStringList lines = linesOf(test::pdfText(pdf.bytes, {p, {}, true}));
            ASSERT_GE(lines.size(), 2);
            const QStringList header = lines.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            EXPECT_EQ(header, QStringList({"種別", "件名", "開始日時", "終了日時", "内容", "ｱﾗｰﾑ", "ｼｰｸﾚｯﾄ",
                                           QString::fromUtf8(c.column8), "優先度", "状態"}))
                << "page " << p;
            const QStringList footer = lines.last().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            EXPECT_EQ(footer, QStringList({"full.vcs", QString::number(p), "/", QString::number(pages), "印刷日",
                                           "2026/12/09", "10:30"}))
                << "page " << p;
            for (const QString &line : lines.mid(1, lines.size() - 2)) {
                ASSERT_LE(row, MaxEntries);
                EXPECT_TRUE(line.contains(grid.text(row, 2)) && line.contains(grid.text(row, 3)))
                    << "row " << row << ": " << line.toStdString();
                ++row;
            }
        }
        EXPECT_EQ(row, MaxEntries + 1);
    }

    ListGrid grid;
    grid.setFormatString(headerFormatFor(QStringLiteral("SH53")));
    fitGridToList(s.ScheduleList, grid, true);
    const ListPdf band = listPdf(grid, sheetFor(10, 12), QPageLayout::Portrait);
    EXPECT_EQ(band.printout.pages, 1);
    const QStringList lines = linesOf(test::pdfText(band.bytes, {1, {}, true}));
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i + 1].contains(s.ScheduleList[9 + i][SummaryValue])) << lines[i + 1].toStdString();
    EXPECT_TRUE(lines[4].contains(QStringLiteral("1 / 1")));
}

// The PDF embeds its Japanese font, so it reads the same on any machine.
TEST(PrintPdf, EmbedsTheJapaneseFont)
{
    const QString fonts = test::pdfFonts(monthPdf(sampleList(), April2005).bytes);
    EXPECT_TRUE(fonts.contains(QStringLiteral("IPAGothic"))) << fonts.toStdString();
    for (const QString &line : fonts.split(u'\n').mid(2))
        if (!line.isEmpty())
            EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << "not embedded: " << line.toStdString();
}
