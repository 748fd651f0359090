// proc_open's file side and the messages of the reader and writer.
#include "vcsio.h"

#include <QFile>

namespace skedra {

namespace {

const QString TryAgain = QStringLiteral("確認してもう一度やり直してください。　　");

} // namespace

ReadResult proc_open(SessionState &state, const ReadProgress &progress)
{
    const QString &path = state.OpenFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult result;
        result.messages.append(StoreMessage{StoreCode::OpenFailed, path, 0, 0});
        return result;
    }
    // A size the system reports is checked before anything is read; a file
    // that grows while being read is still cut at the limit.
    if (file.size() > MaxFileBytes) {
        ReadResult result;
        result.messages.append(StoreMessage{StoreCode::TooLarge, path, 0, 0});
        return result;
    }
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        ReadResult result;
        result.messages.append(StoreMessage{StoreCode::OpenFailed, path, 0, 0});
        return result;
    }
    file.close();
    return readVcsData(state, bytes, path, progress);
}

QString StoreMessage::title() const
{
    switch (code) {
    case StoreCode::Ok:
        return QString();
    case StoreCode::TooManyObjects:
    case StoreCode::BadValues:
    case StoreCode::Unencodable:
    case StoreCode::NotShiftJis:
    case StoreCode::MissingStart:
    case StoreCode::NoObjects:
        return QStringLiteral("警告");
    default:
        return QStringLiteral("エラー");
    }
}

MessageIcon StoreMessage::icon() const
{
    switch (code) {
    case StoreCode::Ok:
        return MessageIcon::Information;
    case StoreCode::BadValues:
    case StoreCode::Unencodable:
    case StoreCode::NotShiftJis:
    case StoreCode::MissingStart:
    case StoreCode::NoObjects:
        return MessageIcon::Warning;
    default:
        // The 500-entry warning carries the error icon, like the errors.
        return MessageIcon::Critical;
    }
}

QString StoreMessage::text() const
{
    const QString n = QString::number(number);
    const QString l = QString::number(line);
    switch (code) {
    case StoreCode::Ok:
        return QString();
    case StoreCode::NotVCalendar:
        return QStringLiteral("vCalendarファイルではないようです．．．　　");
    case StoreCode::NotICalendar:
        return QStringLiteral("iCalendarファイルではないようです．．．　　");
    case StoreCode::BrokenICalendar:
        return file + QStringLiteral("は途中で切れているか壊れているため、iCalendarとして読み込めませんでした。　　");
    case StoreCode::ListFull:
        return QStringLiteral("これ以上追加できません！　　　");
    case StoreCode::TooManyObjects:
        return QStringLiteral("500件を超えたため、") + n + QStringLiteral("件目で読み込みを終了しました。　　　");
    case StoreCode::OpenFailed:
        return file + QStringLiteral("を開けませんでした。　　　\n") + TryAgain;
    case StoreCode::BadValues:
        return QStringLiteral("日時などを変換できない値が") + n + QStringLiteral("件ありました（最初は")
            + l + QStringLiteral("行目）。\n値はファイルのまま読み込みました。　　");
    case StoreCode::CoderMissing:
        return QStringLiteral("文字変換部品（Hexbridge.HexCoding）を作成できなかったため、"
                              "ファイルを読み書きできません。　　");
    case StoreCode::WriteInUse:
        return file + QStringLiteral("は他で使用中です。　　　\n") + TryAgain;
    case StoreCode::WriteFailed:
        return QStringLiteral("データ書き込み中にエラーが発生しました。　　　\n") + TryAgain;
    case StoreCode::Unencodable:
        return QStringLiteral("Shift_JISで表せない文字") + n
            + QStringLiteral("文字を「?」に置き換えて保存しました。　　");
    case StoreCode::NotShiftJis:
        return QStringLiteral("Shift_JISとして読めないバイトが") + n + QStringLiteral("個ありました（最初は") + l
            + QStringLiteral("行目）。\nその部分は「\uFFFD」として読み込みました。　　");
    case StoreCode::MissingStart:
        return QStringLiteral("開始日時（DTSTART/DUE）のない予定が") + n + QStringLiteral("件ありました（最初は")
            + l + QStringLiteral("行目）。\n開始日時を空のまま読み込みました。　　");
    case StoreCode::TooLarge:
        return file + QStringLiteral("は大きすぎるため読み込めません。　　");
    case StoreCode::NoObjects:
        return file + QStringLiteral("には読み込める予定がありませんでした。　　");
    }
    return QString();
}

} // namespace skedra
