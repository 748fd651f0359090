// The print and PDF commands: what the choice is asked with, what reaches
// the preview or the file, and the file name's road (suffix, overwrite
// question, a folder in the way).
#include "filecommands.h"
#include "pdftext.h"
#include "scripted_dialogs.h"
#include "startup.h"
#include "test_entries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;
using print::Subject;

namespace {

PrintRequest requestFor(Subject subject)
{
    PrintRequest request;
    request.subject = subject;
    request.month = QDate(2024, 1, 15);
    request.today = QDate(2024, 1, 2);
    request.now = QDateTime(QDate(2024, 2, 1), QTime(9, 0));
    request.columnWidths.fill(1000);
    return request;
}

} // namespace

TEST(PrintCommands, ChoiceDecidesWhatThePreviewShows)
{
    struct Case {
        const char *name;
        int bandFirst, bandLast;                      // the grid's selection
        std::optional<print::PrintChoice> answer;     // nothing: cancelled
        Subject presetSubject;                        // offered first
        QPageLayout::Orientation presetOrientation;
        bool rowsOffered;
        QStringList printed;  // summaries (or the month caption) on the page
    };
    const Case cases[] = {
        {"all rows, preset", 2, 2, print::PrintChoice{Subject::AllRows, QPageLayout::Portrait}, Subject::AllRows,
         QPageLayout::Portrait, false, {"1", "2", "3", "4"}},
        {"selected rows", 2, 3, print::PrintChoice{Subject::SelectedRows, QPageLayout::Landscape},
         Subject::AllRows, QPageLayout::Portrait, true, {"2", "3"}},
        {"the month", 3, 3, print::PrintChoice{Subject::Month, QPageLayout::Landscape}, Subject::AllRows,
         QPageLayout::Portrait, false, {"2024年01月", "12:00 1", "12:00 4"}},
        {"cancelled", 2, 2, std::nullopt, Subject::AllRows, QPageLayout::Portrait, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SessionState s;
        ListGrid grid;
        grid.setFormatString(headerFormatFor(s.ModelCode));
        fill(s, grid, 4);
        s.OpenFileName = QStringLiteral("/data/予定.vcs");
        grid.setRow(c.bandFirst);
        grid.setRowSel(c.bandLast);
        ScriptedDialogs dialogs;
        dialogs.printChoices.push_back(c.answer);
        RecordingHooks hooks;
        EntryDefaults defaults;
        ListHistory history{s, grid, hooks};
        FileCommands cmd{s, grid, dialogs, hooks, defaults, history};

        cmd.print(requestFor(Subject::AllRows));

        ASSERT_EQ(dialogs.printQuestions.size(), 1u);
        const auto &asked = dialogs.printQuestions[0];
        EXPECT_EQ(asked.title, QStringLiteral("印刷"));
        EXPECT_EQ(asked.preset, (print::PrintChoice{c.presetSubject, c.presetOrientation}));
        EXPECT_EQ(asked.monthCaption, QStringLiteral("2024年01月"));
        EXPECT_EQ(asked.rowsSelected, c.rowsOffered);
        EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
        if (!c.answer) {
            EXPECT_TRUE(hooks.previews.empty());
            continue;
        }
        ASSERT_EQ(hooks.previews.size(), 1u);
        const print::Printout &shown = hooks.previews[0];
        EXPECT_EQ(shown.layout.orientation(), c.answer->orientation);
        EXPECT_EQ(shown.title, c.answer->subject == Subject::Month ? QStringLiteral("2024年01月")
                                                                   : QStringLiteral("予定.vcs"));
        const QString text = pdfText(print::renderPdf(shown), {1, {}, true});
        int at = 0;
        for (const QString &expected : c.printed) {
            const int found = int(text.indexOf(expected, at));
            EXPECT_GE(found, at) << expected.toStdString() << " in\n" << text.toStdString();
            at = std::max(at, found);
        }
        if (c.answer->subject == Subject::SelectedRows) {
            EXPECT_FALSE(text.contains(QStringLiteral("2024/01/01"))) << text.toStdString();
            EXPECT_FALSE(text.contains(QStringLiteral("2024/01/04"))) << text.toStdString();
        }
    }
}

// The PDF file: the name gets ".pdf" when it lacks it, an existing file is
// replaced only after the question, a folder of that name is never
// replaced, and an empty list has no list to print.
TEST(PrintCommands, PdfFileOnlyWhereTheUserAgreed)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("folder.pdf")));
    QFile old(tmp.filePath(QStringLiteral("old.pdf")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    struct Case {
        const char *typed;        // the name typed in the file dialog
        int entries;
        std::deque<Answer> answers;
        const char *written;      // the file that holds a PDF afterwards, or ""
        QStringList messages;     // every box's text
    };
    const QString done = QStringLiteral("1ページのPDFファイルを書き出しました。　　");
    const QString replace = tmp.filePath(QStringLiteral("old.pdf")) + QStringLiteral("は既に存在します。   \n上書きしてよろしいですか？");
    const Case cases[] = {
        {"new", 3, {}, "new.pdf", {done}},
        {"NEW2.PDF", 3, {}, "NEW2.PDF", {done}},
        {"old.pdf", 3, {Answer::No}, "", {replace}},
        {"old.pdf", 3, {Answer::Yes}, "old.pdf", {replace, done}},
        {"", 3, {}, "", {}},
        {"new3", 0, {}, "", {"印刷する予定がありません。　　"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        SessionState s;
        ListGrid grid;
        grid.setFormatString(headerFormatFor(s.ModelCode));
        fill(s, grid, c.entries);
        ScriptedDialogs dialogs;
        dialogs.answers = c.answers;
        dialogs.saveFiles.push_back(*c.typed ? tmp.filePath(QString::fromUtf8(c.typed)) : QString());
        RecordingHooks hooks;
        EntryDefaults defaults;
        ListHistory history{s, grid, hooks};
        FileCommands cmd{s, grid, dialogs, hooks, defaults, history};

        cmd.exportPdf(requestFor(Subject::AllRows));

        QStringList messages;
        for (const AskedMessage &m : dialogs.messages)
            messages << m.text;
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(dialogs.fileDialogs.size(), c.entries ? 1 : 0);
        if (c.entries)
            EXPECT_EQ(dialogs.fileDialogs[0], QStringLiteral("save:PDFに書き出し|PDF (*.pdf)"));
        if (*c.written) {
            QFile pdf(tmp.filePath(QString::fromUtf8(c.written)));
            ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
            const QByteArray bytes = pdf.readAll();
            EXPECT_TRUE(bytes.startsWith("%PDF-"));
            EXPECT_TRUE(pdfText(bytes).contains(QStringLiteral("2024/01/03 12:00:00")));
        }
    }
    QFile old2(tmp.filePath(QStringLiteral("old.pdf")));
    ASSERT_TRUE(old2.open(QIODevice::ReadOnly));
    EXPECT_TRUE(old2.readAll().startsWith("%PDF-"));

    // A folder in the way stays a folder, and the user is told.
    SessionState s;
    ListGrid grid;
    grid.setFormatString(headerFormatFor(s.ModelCode));
    fill(s, grid, 2);
    ScriptedDialogs dialogs;
    dialogs.answers = {Answer::Yes};
    dialogs.saveFiles.push_back(tmp.filePath(QStringLiteral("folder.pdf")));
    RecordingHooks hooks;
    EntryDefaults defaults;
    ListHistory history{s, grid, hooks};
    FileCommands cmd{s, grid, dialogs, hooks, defaults, history};
    cmd.exportPdf(requestFor(Subject::AllRows));
    EXPECT_TRUE(QFileInfo(tmp.filePath(QStringLiteral("folder.pdf"))).isDir());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().title, QStringLiteral("エラー"));
}

// From the list, the month offered is that of the current row's entry.
TEST(PrintCommands, MonthOfTheCurrentRow)
{
    SessionState s;
    ListGrid grid;
    grid.setFormatString(headerFormatFor(s.ModelCode));
    s.ScheduleList[0] = entry(QStringLiteral("a"), QStringLiteral("20050412090000"));
    s.ScheduleList[1] = entry(QStringLiteral("b"), QStringLiteral("bad"));
    fitGridToList(s.ScheduleList, grid, true);
    const QDate today(2026, 12, 9);
    grid.setRow(1);
    EXPECT_EQ(monthOfRow(s.ScheduleList, grid, today), QDate(2005, 4, 12));
    grid.setRow(2);
    EXPECT_EQ(monthOfRow(s.ScheduleList, grid, today), today);
    s.ScheduleList.clear();
    EXPECT_EQ(monthOfRow(s.ScheduleList, grid, today), today);
}
