#include "filecommands.h"

#include "gridrender.h"
#include "icalendar.h"
#include "menutable.h"
#include "newentry.h"
#include "sjis.h"
#include "vcsio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace skedra {

namespace {

const QString IcsFilter = QStringLiteral("iCalendar (*.ics)");
const QString OpenFilter = QStringLiteral("vCalendar (*.vcs);;") + IcsFilter;
const QString SaveFilter = QStringLiteral("vCalendar形式 (*.vcs)");
const QString NotVcsText = QStringLiteral("vCalendarファイルではありません．．．　　");
const QString ExportTitle = QStringLiteral("iCalendar形式で書き出し");

} // namespace

QString commandLineFromArguments(const QStringList &arguments)
{
    QString line = arguments.join(QLatin1Char(' '));
    line.remove(QLatin1Char('"'));
    return line;
}

QString GetExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const QString ext = path.mid(dot + 1);
    if (ext.contains(QLatin1Char('\\')) || ext.contains(QLatin1Char('/')))
        return QString();
    return ext.toUpper();
}

bool isVcsPath(const QString &path)
{
    return GetExtension(path) == QLatin1String("VCS");
}

bool isIcsPath(const QString &path)
{
    return GetExtension(path) == QLatin1String("ICS");
}

bool FileExists(const QString &path)
{
    QString p = path;
    if (p.endsWith(QLatin1Char('\\')) || p.endsWith(QLatin1Char('/')))
        p.chop(1);
    if (p.isEmpty() || !QFileInfo(p).isFile())
        return false;
    QFile f(p);
    return f.open(QIODevice::ReadOnly);
}

QString perEntryFileName(const QString &folder, int n)
{
    QString name = folder;
    if (!name.endsWith(QLatin1Char('/')))
        name += QLatin1Char('/');
    return name + QStringLiteral("vCal_") + ZeroPad(n, 4) + QStringLiteral(".vcs");
}

QString titleWithFile(const QString &path, const QString &programTitle)
{
    if (path.isEmpty())
        return programTitle;
    return QFileInfo(path).fileName() + QStringLiteral("[*] - ") + programTitle;
}

FileCommands::FileCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                           const EntryDefaults &defaults, ListHistory &history)
    : m_state(state)
    , m_grid(grid)
    , m_dialogs(dialogs)
    , m_hooks(hooks)
    , m_defaults(defaults)
    , m_history(history)
{
}

bool FileCommands::askSave()
{
    if (!m_state.isDirty())
        return true;
    switch (m_dialogs.message(QStringLiteral("保存の確認"),
                              QStringLiteral("現在のデータを保存しますか？　　　"),
                              MessageIcon::Information, MessageButtons::YesNoCancel)) {
    case Answer::Yes:
        m_state.SaveDone = QStringLiteral("0");
        saveAs();
        return m_state.SaveDone == QLatin1String("1");
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::followOpenFile()
{
    const QString &file = m_state.OpenFileName.isEmpty() ? m_state.SaveFileName : m_state.OpenFileName;
    const QFileInfo info(file);
    m_dialogs.fileFolder = !file.isEmpty() && info.dir().exists() ? info.absolutePath() : QString();
}

void FileCommands::openNew()
{
    m_state.OpenMode = QStringLiteral("new");
    if (!askSave())
        return;
    followOpenFile();
    const QString path = m_dialogs.openFile(QStringLiteral("ファイルを開く"), OpenFilter);
    if (path.isEmpty())
        return;
    m_hooks.repaint();
    openChosenFile(path);
}

void FileCommands::openAdd()
{
    m_state.OpenMode = !m_state.ScheduleList.isEmpty() ? QStringLiteral("add")
                                                        : QStringLiteral("new");
    followOpenFile();
    const QString path = m_dialogs.openFile(QStringLiteral("ファイルを開く"), OpenFilter);
    if (path.isEmpty())
        return;
    m_hooks.repaint();
    openChosenFile(path);
}

void FileCommands::showReadList(bool replaced)
{
    removeSortMarks(m_grid, 1);
    fitGridToList(m_state.ScheduleList, m_grid, replaced);
    if (replaced) {
        m_grid.setTopRow(1);
        m_grid.setRow(1);
    }
}

bool FileCommands::openChosenFile(const QString &path)
{
    return readFile(path, isIcsPath(path), stepName(u"mnuOpen_1"));
}

bool FileCommands::readFile(const QString &path, bool ics, const QString &appendStep)
{
    // Appended entries are a step; a replaced list starts the history anew.
    const bool replacing = m_state.OpenMode != QLatin1String("add");
    ListHistory::Step step(m_history, appendStep);
    const bool read = ics ? openIcs(path) : openVcs(path);
    if (replacing)
        step.startOver(read);
    if (read)
        m_hooks.fileUsed(path);
    return read;
}

void FileCommands::beginLoading()
{
    m_hooks.setBusy(true);
    m_hooks.loadingStarted();
}

void FileCommands::endLoading(const QList<StoreMessage> &messages)
{
    m_hooks.loadingFinished();
    m_hooks.setBusy(false);
    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
    for (const StoreMessage &m : messages)
        m_dialogs.show(m);
}

bool FileCommands::openVcs(const QString &path)
{
    m_state.OpenFileName = path;
    const bool replacing = m_state.OpenMode != QLatin1String("add");
    const QString dirtyBefore = m_state.Dirty;

    beginLoading();
    const ReadResult result = proc_open(m_state, [this](int seen, int total) {
        m_hooks.loadingProgress(seen, total);
    });
    if (result.read)
        showReadList(replacing);
    else
        fitGridToList(m_state.ScheduleList, m_grid, false);
    if (replacing)
        m_saveTarget = result.read ? path : QString();
    endLoading(result.messages);

    // A replaced list matches its file. Appending keeps the mark the list had
    // (changes made before it are still unsaved) until its step is recorded.
    if (replacing && (result.read || m_state.ScheduleList.isEmpty()))
        m_state.Dirty = QStringLiteral("0");
    else
        m_state.Dirty = dirtyBefore;
    return result.read;
}

bool FileCommands::openRecent(const QString &path)
{
    if (!FileExists(path)) {
        m_dialogs.show(storeMessage(StoreCode::OpenFailed, path));
        return false;
    }
    m_state.OpenMode = QStringLiteral("new");
    if (!askSave())
        return true;
    m_hooks.repaint();
    openChosenFile(path);
    return true;
}

void FileCommands::dropFiles(const QStringList &paths)
{
    const bool hasEntries = !m_state.ScheduleList.isEmpty();
    if (hasEntries) {
        switch (m_dialogs.message(QStringLiteral("ｵｰﾌﾟﾝﾓ-ﾄﾞの確認"),
                                  QStringLiteral("追加モードで開きますか？　　　"),
                                  MessageIcon::Information, MessageButtons::YesNoCancel)) {
        case Answer::Yes:
            m_state.OpenMode = QStringLiteral("add");
            break;
        case Answer::No:
            m_state.OpenMode = QStringLiteral("new");
            break;
        default:
            return;
        }
    } else {
        m_state.OpenMode = QStringLiteral("new");
    }

    const QString path = paths.value(0);
    if (!FileExists(path) || path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))) {
        m_dialogs.error(QStringLiteral("ファイルをドロップしてください．．．　　"));
        return;
    }
    if (!isVcsPath(path) && !isIcsPath(path)) {
        m_dialogs.error(NotVcsText);
        return;
    }
    // Replacing a changed list loses the changes unless they are saved first.
    if (hasEntries && m_state.OpenMode == QLatin1String("new") && !askSave())
        return;
    openChosenFile(path);
}

void FileCommands::closeList()
{
    if (!askSave())
        return;
    m_grid.clearToBlank();
    m_grid.setTopRow(1);
    m_grid.setRow(1);
    m_state.clearList();
    m_history.clear();
    m_saveTarget.clear();
    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
}

bool FileCommands::reportWrite(const WriteResult &result, bool *warned)
{
    if (!result.written) {
        // The failure itself first; a message of another kind only when the
        // writer named no failure.
        const StoreMessage *failure = nullptr;
        for (const StoreMessage &m : result.messages) {
            if (m.code == StoreCode::WriteInUse || m.code == StoreCode::WriteFailed) {
                failure = &m;
                break;
            }
            if (!failure && !m.ok())
                failure = &m;
        }
        StoreMessage fallback;
        fallback.code = StoreCode::WriteFailed;
        fallback.file = m_state.SaveFileName;
        m_dialogs.show(failure ? *failure : fallback);
        return false;
    }
    for (const StoreMessage &m : result.messages) {
        if (!m.ok() && !*warned) {
            m_dialogs.show(m);
            *warned = true;
        }
    }
    return true;
}

QString FileCommands::chooseExportPath(const QString &title, const QString &filter, const QString &suffix)
{
    followOpenFile();
    QString path = m_dialogs.saveFile(title, filter);
    if (path.isEmpty())
        return {};
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    m_hooks.repaint();
    return mayOverwrite(path) ? path : QString();
}

bool FileCommands::mayOverwrite(const QString &path)
{
    return !FileExists(path)
        || m_dialogs.message(QStringLiteral("警告"),
                             path + QStringLiteral("は既に存在します。   \n上書きしてよろしいですか？"),
                             MessageIcon::Warning, MessageButtons::YesNo)
        == Answer::Yes;
}

bool FileCommands::saveAs()
{
    followOpenFile();
    QString path;
    for (;;) {
        path = m_dialogs.saveFile(QStringLiteral("名前を付けて保存"), SaveFilter);
        if (path.isEmpty())
            return false;
        if (!isIcsPath(path))
            break;
        // An iCalendar file keeps what calendar programs wrote in it: the
        // handset's vCalendar goes to a file of its own.
        m_dialogs.error(QStringLiteral("iCalendar形式のファイル（.ics）にはvCalendar形式で保存できません。\n"
                                       ".vcsの名前を付けてください。　　"));
    }
    m_state.SaveFileName = path;
    m_hooks.repaint();
    if (!mayOverwrite(path))
        return false;

    return writeList();
}

bool FileCommands::save()
{
    if (m_saveTarget.isEmpty())
        return saveAs();
    m_state.SaveFileName = m_saveTarget;
    return writeList();
}

bool FileCommands::writeList()
{
    m_state.FirstIndex = 1;
    m_state.LastIndex = MaxEntries;
    bool warned = false;
    if (!reportWrite(proc_write(m_state), &warned))
        return false;
    m_state.SaveDone = QStringLiteral("1");
    m_history.markSaved();
    m_saveTarget = m_state.SaveFileName;
    m_hooks.fileUsed(m_saveTarget);
    return true;
}

void FileCommands::saveSelected()
{
    if (m_state.ScheduleList.isEmpty())
        return;
    followOpenFile();
    const QString folder = m_dialogs.selectFolder(QStringLiteral("フォルダを選択してください"));
    if (folder.isEmpty())
        return;
    if (m_dialogs.message(QStringLiteral("警告"),
                          QStringLiteral("同じ名前のﾌｧｲﾙが存在した場合は上書きされます。  　\nよろしいですか？"),
                          MessageIcon::Warning, MessageButtons::YesNo)
        != Answer::Yes)
        return;

    const int first = m_grid.bandFirst();
    const int last = m_grid.bandLast();
    bool warned = false;
    for (int r = first, n = 1; r <= last; ++r, ++n) {
        m_state.SaveFileName = perEntryFileName(folder, n);
        m_state.FirstIndex = r;
        m_state.LastIndex = r;
        if (!reportWrite(proc_write(m_state), &warned))
            return;
    }
    // The per-entry files hold only part of the list, so the list as a whole
    // is still unsaved when it was before: Dirty stays as it was.
}

void FileCommands::exportIcs()
{
    if (m_state.ScheduleList.isEmpty()) {
        m_dialogs.message(ExportTitle, QStringLiteral("書き出す予定がありません。　　"), MessageIcon::Information,
                          MessageButtons::Ok);
        return;
    }
    if (!m_state.HexCoder) {
        m_dialogs.show(storeMessage(StoreCode::CoderMissing, QString()));
        return;
    }
    // As the selected rows are saved: the band from the current row to the
    // other end of the selection, here only when it spans several rows.
    const bool band = m_grid.bandLast() > m_grid.bandFirst();
    const int first = band ? m_grid.bandFirst() : 1;
    const int last = band ? m_grid.bandLast() : MaxEntries;
    // Calendar programs know their files by the suffix.
    const QString path = chooseExportPath(ExportTitle, IcsFilter, QStringLiteral(".ics"));
    if (path.isEmpty())
        return;
    m_hooks.setBusy(true);
    const ics::ExportResult exported = ics::exportEntries(m_state.ScheduleList, *m_state.HexCoder, first, last);
    const WriteResult written = writeFileBytes(path, exported.bytes);
    m_hooks.setBusy(false);
    bool warned = false;
    if (!reportWrite(written, &warned))
        return;
    QString text = band ? QStringLiteral("選択した行の予定%1件（全%2件のうち）を書き出しました。")
                              .arg(exported.entries)
                              .arg(m_state.ScheduleList.count())
                        : QStringLiteral("%1件の予定を書き出しました。").arg(exported.entries);
    if (exported.rulesNotAgreeing > 0)
        text += QStringLiteral("\n繰り返し%1件はカレンダーソフトで同じ日に表示できないため、繰り返しなしで書き出し、"
                               "その旨をコメントに書きました。")
                    .arg(exported.rulesNotAgreeing);
    m_dialogs.message(ExportTitle, text + QStringLiteral("　　"), MessageIcon::Information, MessageButtons::Ok);
}

void FileCommands::importIcs()
{
    m_state.OpenMode = !m_state.ScheduleList.isEmpty() ? QStringLiteral("add") : QStringLiteral("new");
    followOpenFile();
    const QString path = m_dialogs.openFile(QStringLiteral("iCalendar形式を読み込み"), IcsFilter);
    if (path.isEmpty())
        return;
    m_hooks.repaint();
    readFile(path, true, stepName(u"mnuImportIcs"));
}

bool FileCommands::openIcs(const QString &path)
{
    m_state.OpenFileName = path;
    const bool replacing = m_state.OpenMode != QLatin1String("add");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs.show(storeMessage(StoreCode::OpenFailed, path));
        return false;
    }
    if (file.size() > ics::MaxIcsBytes) {
        m_dialogs.show(storeMessage(StoreCode::TooLarge, path));
        return false;
    }
    const QByteArray bytes = file.read(ics::MaxIcsBytes + 1);
    file.close();

    beginLoading();
    // Into a copy: a file that is refused leaves the list as it was, also
    // when it would have replaced it. The copy is emptied rather than made
    // anew, so the entries it receives get keys the old ones never had.
    ScheduleList list = m_state.ScheduleList;
    if (replacing)
        list.clear();
    const QString model = m_state.ModelCode;
    const ics::ImportResult result = ics::importIcs(
        list, bytes, [&](const QString &start) { return makeNewEntryAt(model, m_defaults, start); }, path);
    if (result.read) {
        m_state.ScheduleList = std::move(list);
        // The summaries go to the editors' drop-down list, as a read's do.
        SummaryRecorder summaries(m_state.SummaryHistory);
        for (int i = result.firstEntry - 1; i < result.firstEntry - 1 + result.added; ++i)
            summaries.remember(m_state.ScheduleList.at(i, SummaryValue));
        showReadList(replacing);
        // A replaced list holds what the .ics file holds, which is no save
        // target; appended entries are a change of the list.
        if (replacing) {
            m_saveTarget.clear();
            m_state.Dirty = QStringLiteral("0");
        } else {
            m_state.markDirty();
        }
    }
    endLoading(result.messages);
    if (const QString note = result.noteText(); !note.isEmpty())
        m_dialogs.message(ics::importNoteTitle(), note, MessageIcon::Warning, MessageButtons::Ok);
    return result.read;
}

bool FileCommands::queryClose()
{
    return askSave();
}

void FileCommands::openCommandLine(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    if (!isVcsPath(commandLine) && !isIcsPath(commandLine)) {
        m_dialogs.error(NotVcsText);
        return;
    }
    m_state.OpenMode = QStringLiteral("new");
    openChosenFile(commandLine);
}

} // namespace skedra
