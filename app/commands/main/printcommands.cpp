// The print and PDF commands of the file menu and the calendar.
#include "filecommands.h"

#include <QFileInfo>

namespace skedra {

namespace {

const QString PrintTitle = QStringLiteral("印刷");
const QString PdfTitle = QStringLiteral("PDFに書き出し");
const QString PdfFilter = QStringLiteral("PDF (*.pdf)");

} // namespace

QDate monthOfRow(const ScheduleList &list, const ListGrid &grid, QDate today)
{
    const int entry = grid.row() - 1;
    if (entry >= 0 && entry < list.count()) {
        const QDate start = QDate::fromString(list[entry][DtStartValue].left(8), u"yyyyMMdd");
        if (start.isValid())
            return start;
    }
    return today;
}

std::optional<print::Printout> FileCommands::choosePrintout(const QString &title, const PrintRequest &request)
{
    using print::Subject;
    const bool rowsSelected = m_grid.bandLast() > m_grid.bandFirst();
    print::PrintChoice preset;
    preset.subject = request.subject == Subject::SelectedRows && !rowsSelected ? Subject::AllRows : request.subject;
    preset.orientation = preset.subject == Subject::Month ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QString caption = request.month.toString(u"yyyy年MM月");
    const std::optional<print::PrintChoice> choice = m_dialogs.printChoice(title, preset, caption, rowsSelected);
    if (!choice)
        return std::nullopt;

    if (choice->subject == Subject::Month) {
        return print::Printout{caption, print::a4Layout(choice->orientation),
                               [&list = m_state.ScheduleList, month = request.month,
                                today = request.today](QPagedPaintDevice &device) {
                                   return print::printMonth(list, month, today, device).pages;
                               }};
    }
    if (m_state.ScheduleList.isEmpty()) {
        m_dialogs.message(title, QStringLiteral("印刷する予定がありません。　　"), MessageIcon::Information,
                          MessageButtons::Ok);
        return std::nullopt;
    }
    print::ListSheet sheet;
    const bool band = choice->subject == Subject::SelectedRows && rowsSelected;
    sheet.firstRow = band ? m_grid.bandFirst() : 1;
    sheet.lastRow = band ? m_grid.bandLast() : m_state.ScheduleList.count();
    sheet.columnWidths = request.columnWidths;
    // The file the list came from, as the file dialogs start in its folder.
    sheet.fileName = QFileInfo(m_state.OpenFileName.isEmpty() ? m_state.SaveFileName : m_state.OpenFileName).fileName();
    sheet.printedAt = request.now;
    return print::Printout{sheet.fileName, print::a4Layout(choice->orientation),
                           [&grid = m_grid, sheet](QPagedPaintDevice &device) {
                               return print::printList(grid, sheet, device).pages;
                           }};
}

void FileCommands::print(const PrintRequest &request)
{
    if (const std::optional<print::Printout> printout = choosePrintout(PrintTitle, request))
        m_hooks.printPreview(*printout);
}

void FileCommands::exportPdf(const PrintRequest &request)
{
    const std::optional<print::Printout> printout = choosePrintout(PdfTitle, request);
    if (!printout)
        return;
    // Readers and mail programs know the file by its suffix.
    const QString path = chooseExportPath(PdfTitle, PdfFilter, QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    m_hooks.setBusy(true);
    int pages = 0;
    const WriteResult written = writeFileBytes(path, print::renderPdf(*printout, &pages));
    m_hooks.setBusy(false);
    bool warned = false;
    if (!reportWrite(written, &warned))
        return;
    m_dialogs.message(PdfTitle, QStringLiteral("%1ページのPDFファイルを書き出しました。　　").arg(pages),
                      MessageIcon::Information, MessageButtons::Ok);
}

} // namespace skedra
