#include "bookfile.h"

#include "sjis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace skedra {

namespace {

const QString BookFileName = QStringLiteral("address.txt");
const QString TryAgain = QStringLiteral("確認してもう一度やり直してください。　　");

// The file separates the number from the name with a comma.
QString withoutCommas(QString text)
{
    return text.replace(u',', u'，');
}

// A line starting with "#" is a comment, so a number starting with "#" (a
// service code such as #9110) is written after a space, which reading
// removes again. The same holds for a number that starts with spaces and
// then "#": it gets one more space, so every number reads back as it was.
bool spacesThenHash(QStringView number)
{
    qsizetype i = 0;
    while (i < number.size() && number[i] == u' ')
        ++i;
    return i < number.size() && number[i] == u'#';
}

QString numberAsWritten(const QString &number)
{
    return spacesThenHash(number) ? u' ' + number : number;
}

// The record lines of a book's text, each without its CR: empty lines and
// comments are skipped.
template <typename Take>
void forEachRecordLine(QStringView text, Take take)
{
    for (QStringView line : text.tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty() && !line.startsWith(u'#'))
            take(line);
    }
}

// A record line: the number up to the first comma, the name up to a second.
AddressRecord recordOf(QStringView line)
{
    const qsizetype first = line.indexOf(u',');
    AddressRecord r;
    r.number = line.left(first < 0 ? line.size() : first).toString();
    if (r.number.startsWith(u' ') && spacesThenHash(r.number))
        r.number.remove(0, 1);
    if (first >= 0) {
        const QStringView rest = line.mid(first + 1);
        const qsizetype second = rest.indexOf(u',');
        r.name = (second < 0 ? rest : rest.left(second)).toString();
    }
    return r;
}

} // namespace

QString BookMessage::title() const
{
    return code == BookCode::Unencodable ? QStringLiteral("警告") : QStringLiteral("エラー");
}

MessageIcon BookMessage::icon() const
{
    return code == BookCode::Unencodable ? MessageIcon::Warning : MessageIcon::Critical;
}

QString BookMessage::text() const
{
    const QString path = QDir::toNativeSeparators(file);
    switch (code) {
    case BookCode::Ok:
        return QString();
    case BookCode::ReadFailed:
        return path + QStringLiteral("を開けませんでした。　　　\n") + TryAgain;
    case BookCode::TooLarge:
        return path + QStringLiteral("は大きすぎるため読み込めません。　　　");
    case BookCode::BookFull:
        return QStringLiteral("電話帳は") + QString::number(number) + QStringLiteral("件までです。\n") + path
            + QStringLiteral("の電話番号を加えるとこれを超えるため、読み込みませんでした。　　　");
    case BookCode::NotVCard:
        return QStringLiteral("vCardファイルではないようです．．．　　\n") + path;
    case BookCode::WriteFailed:
        return QStringLiteral("電話帳を保存できませんでした。　　　\n") + path + u'\n' + TryAgain;
    case BookCode::Unencodable:
        return QStringLiteral("Shift_JISで表せない文字が") + QString::number(number)
            + QStringLiteral("文字あります。　　　\n「?」に置き換えて保存しますか？");
    }
    return QString();
}

BookLocation BookLocation::standard()
{
    BookLocation l;
    l.userFile = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/' + BookFileName;
    l.programFile = QCoreApplication::applicationDirPath() + u'/' + BookFileName;
    return l;
}

QString BookLocation::readPath() const
{
    if (QFileInfo::exists(userFile) || programFile.isEmpty() || !QFileInfo::exists(programFile))
        return userFile;
    return programFile;
}

QList<AddressRecord> parseBook(const QByteArray &bytes)
{
    QList<AddressRecord> records;
    forEachRecordLine(Sjis::decode(bytes), [&records](QStringView line) { records.append(recordOf(line)); });
    return records;
}

QByteArray renderBook(const QList<AddressRecord> &records, int *unencodable)
{
    QString text;
    for (const AddressRecord &r : records)
        text += numberAsWritten(withoutCommas(r.number)) + u',' + withoutCommas(r.name) + QStringLiteral("\r\n");
    return Sjis::encode(text, unencodable);
}

BookMessage loadBook(const BookLocation &location, QList<AddressRecord> &records)
{
    records.clear();
    QFile file(location.readPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const BookMessage tooLarge{BookCode::TooLarge, file.fileName(), 0};
    if (file.size() > MaxBookFileBytes)
        return tooLarge;
    const QByteArray bytes = file.read(MaxBookFileBytes + 1);
    if (bytes.size() > MaxBookFileBytes)
        return tooLarge;
    // Counted before any record is made.
    const QString text = Sjis::decode(bytes);
    qsizetype count = 0;
    forEachRecordLine(text, [&count](QStringView) { ++count; });
    if (count > MaxBookRecords)
        return tooLarge;
    records.reserve(count);
    forEachRecordLine(text, [&records](QStringView line) { records.append(recordOf(line)); });
    return {};
}

QList<AddressRecord> recordsForFile(const QList<AddressRecord> &records)
{
    QList<AddressRecord> folded = records;
    for (AddressRecord &r : folded) {
        r.name = Sjis::foldLatin(r.name);
        r.number = Sjis::foldLatin(r.number);
    }
    return folded;
}

int charactersLostInFile(const QList<AddressRecord> &records)
{
    int lost = 0;
    renderBook(recordsForFile(records), &lost);
    return lost;
}

BookMessage saveBook(const BookLocation &location, const QList<AddressRecord> &records)
{
    const QByteArray bytes = renderBook(recordsForFile(records));
    QDir().mkpath(QFileInfo(location.userFile).absolutePath());
    QSaveFile file(location.userFile);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && file.flush() && file.commit();
    if (!written)
        return {BookCode::WriteFailed, location.userFile, 0};
    return {};
}

} // namespace skedra
