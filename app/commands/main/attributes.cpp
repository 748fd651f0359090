#include "attributes.h"

#include "session.h"
#include "sjis.h"

#include <QHash>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace skedra {

namespace {

struct CommandEffect {
    AttributeCommand command;
    const char *item;      // menu item without the "mnu" prefix
    int position;          // property position written
    const char *name;      // property name written; null: the name is kept,
                           // and set to the position's name only when empty
    const char16_t *value; // value written
    int column;            // grid column rewritten, -1 for none
    const char16_t *cell;  // its text
};

const CommandEffect Effects[] = {
    {AttributeCommand::SecretOn, "SecretOn", Class, nullptr, u"PRIVATE", 7, u"ON"},
    {AttributeCommand::SecretOff, "SecretOff", Class, nullptr, u"PUBLIC", 7, u""},
    {AttributeCommand::PriorityNon, "PriorityNon", Priority, "PRIORITY", u"0", 9, u"未設定"},
    {AttributeCommand::PriorityHigh, "PriorityHigh", Priority, "PRIORITY", u"1", 9, u"高"},
    {AttributeCommand::PriorityLow, "PriorityLow", Priority, "PRIORITY", u"2", 9, u"低"},
    {AttributeCommand::ColNon, "ColNon", CalColor, "X-JPGSH-CALCOLOR", u"", -1, nullptr},
    {AttributeCommand::ColBlack, "ColBlack", CalColor, "X-JPGSH-CALCOLOR", u"BLACK", -1, nullptr},
    {AttributeCommand::ColBlue, "ColBlue", CalColor, "X-JPGSH-CALCOLOR", u"BLUE", -1, nullptr},
    {AttributeCommand::ColRed, "ColRed", CalColor, "X-JPGSH-CALCOLOR", u"RED", -1, nullptr},
    {AttributeCommand::ColPurple, "ColPurple", CalColor, "X-JPGSH-CALCOLOR", u"PURPLE", -1, nullptr},
    {AttributeCommand::ColPink, "ColPink", CalColor, "X-JPGSH-CALCOLOR", u"PINK", -1, nullptr},
    {AttributeCommand::ColGreen, "ColGreen", CalColor, "X-JPGSH-CALCOLOR", u"GREEN", -1, nullptr},
    {AttributeCommand::AutoDelOn, "AutoDelOn", NoAutoDel, "X-JPGSH-NOAUTODEL", u"ON", -1, nullptr},
    {AttributeCommand::AutoDelOff, "AutoDelOff", NoAutoDel, "X-JPGSH-NOAUTODEL", u"OFF", -1, nullptr},
    {AttributeCommand::WaitOn, "WaitOn", NoDispDefWin, "X-JPGSH-NODISPDEFWIN", u"ON", -1, nullptr},
    {AttributeCommand::WaitOff, "WaitOff", NoDispDefWin, "X-JPGSH-NODISPDEFWIN", u"OFF", -1, nullptr},
};

const CommandEffect &effectOf(AttributeCommand command)
{
    return *std::find_if(std::begin(Effects), std::end(Effects),
                         [command](const CommandEffect &e) { return e.command == command; });
}

// Visits the entries of the band that exist, with their grid rows. Returns
// false when the list is empty (the command then does nothing at all).
template <typename Fn>
bool forEachRowOfBand(SessionState &session, RowBand band, Fn fn)
{
    ScheduleList &list = session.ScheduleList;
    if (list.isEmpty())
        return false;
    session.markDirty();
    const int last = std::min(band.last, list.count());
    for (int row = std::max(band.first, 1); row <= last; ++row)
        fn(list[row - 1], row);
    return true;
}

} // namespace

std::optional<AttributeCommand> attributeCommandFor(QStringView objectName)
{
    QStringView item = objectName;
    if (item.startsWith(u"pmnu"))
        item = item.mid(4);
    else if (item.startsWith(u"mnu"))
        item = item.mid(3);
    else
        return std::nullopt;
    for (const CommandEffect &e : Effects) {
        if (item == QLatin1String(e.item))
            return e.command;
    }
    return std::nullopt;
}

QString attributeItemName(AttributeCommand command)
{
    return QStringLiteral("mnu") + QLatin1String(effectOf(command).item);
}

CellUpdates ApplyAttribute(SessionState &session, RowBand band, AttributeCommand command)
{
    const CommandEffect &e = effectOf(command);
    CellUpdates updates;
    forEachRowOfBand(session, band, [&](ScheduleEntry &entry, int row) {
        if (e.name)
            entry[nameSlot(e.position)] = QString::fromLatin1(e.name);
        else if (entry[nameSlot(e.position)].isEmpty())
            entry[nameSlot(e.position)] = QStringLiteral("CLASS");
        entry[valueSlot(e.position)] = QString::fromUtf16(e.value);
        if (e.column >= 0)
            updates.push_back({row, e.column, QString::fromUtf16(e.cell)});
    });
    return updates;
}

bool setEntryCategory(ScheduleEntry &entry, int code)
{
    if (code < 0 || code >= categories::CodeCount)
        return false;
    entry[CategoriesValue] = categories::categoriesValue(code);
    if (entry[CategoriesValue].isEmpty())
        entry[CategoriesName].clear();
    else if (entry[CategoriesName].isEmpty())
        entry[CategoriesName] = categories::categoriesPropertyName();
    if (code >= categories::FirstStampCode) {
        entry[ShCategoriesName] = categories::stampPropertyName();
        entry[ShCategoriesValue] = categories::stampValue(code);
    } else {
        entry[ShCategoriesName].clear();
        entry[ShCategoriesValue].clear();
    }
    entry[CategoryCode] = categories::codeText(code);
    return true;
}

CellUpdates SetCategory(SessionState &session, RowBand band, categories::Menu menu, int index)
{
    const int code = categories::codeOfMenuItem(menu, index);
    CellUpdates updates;
    forEachRowOfBand(session, band, [&](ScheduleEntry &entry, int row) {
        if (setEntryCategory(entry, code))
            updates.push_back({row, 8, categories::name(code)});
    });
    return updates;
}

// --- Full-width to half-width -------------------------------------------------

struct HalfWidthConverter::Impl {
    std::unique_ptr<icu::Transliterator> transliterator;
    // Narrow form of each character met on the slow path, kept for the
    // life of the converter (one command).
    QHash<QString, QString> narrowOf;

    QString transliterate(const QString &text) const
    {
        icu::UnicodeString u(reinterpret_cast<const UChar *>(text.utf16()),
                             static_cast<int32_t>(text.size()));
        transliterator->transliterate(u);
        QString out = QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
        // ICU gives the Latin-1 yen sign and macron; the handsets' single-byte
        // set has them at 0x5C and 0x7E.
        out.replace(QChar(0x00A5), QLatin1Char('\\'));
        out.replace(QChar(0x00AF), QLatin1Char('~'));
        // ICU keeps the spacing voiced and semi-voiced marks wide, though the
        // single-byte set has them.
        out.replace(QChar(0x309B), QChar(0xFF9E));
        out.replace(QChar(0x309C), QChar(0xFF9F));
        return out;
    }
};

HalfWidthConverter::HalfWidthConverter()
    : d(std::make_unique<Impl>())
{
    UErrorCode status = U_ZERO_ERROR;
    d->transliterator.reset(icu::Transliterator::createInstance(
        icu::UnicodeString::fromUTF8("Fullwidth-Halfwidth"), UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        d->transliterator.reset();
}

HalfWidthConverter::~HalfWidthConverter() = default;

bool HalfWidthConverter::available() const
{
    return d->transliterator != nullptr;
}

QString HalfWidthConverter::convert(const QString &text) const
{
    if (!d->transliterator || text.isEmpty())
        return text;
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text;

    // Character by character, keeping each character whose narrow form
    // could not be saved.
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, len);
        i += len;
        if (one[0].unicode() < 0x80) {
            out += one;
            continue;
        }
        auto cached = d->narrowOf.constFind(one);
        if (cached == d->narrowOf.constEnd()) {
            const QString narrow = d->transliterate(one);
            cached = d->narrowOf.insert(one, Sjis::isEncodable(narrow) ? narrow : one);
        }
        out += *cached;
    }
    return out;
}

QString toHalfWidth(const QString &text)
{
    return HalfWidthConverter().convert(text);
}

std::optional<Question> ZtoHQuestion(const SessionState &session, int index)
{
    if (session.ScheduleList.isEmpty())
        return std::nullopt;
    QString field;
    if (index == static_cast<int>(ZtoHField::Description))
        field = QStringLiteral("内容");
    else if (index == static_cast<int>(ZtoHField::AlarmMessage))
        field = QStringLiteral("ｱﾗｰﾑﾒｯｾｰｼﾞ");
    else
        return std::nullopt;
    return Question{QStringLiteral("確認"),
                    field + QStringLiteral("ﾌｨｰﾙﾄﾞの全角を半角に一括変換します。　　　\nよろしいですか？")};
}

bool ZtoH(SessionState &session, int index)
{
    if (session.ScheduleList.isEmpty())
        return false;
    int slot;
    if (index == static_cast<int>(ZtoHField::Description))
        slot = DescriptionValue;
    else if (index == static_cast<int>(ZtoHField::AlarmMessage))
        slot = DAlarmValue;
    else
        return false;
    const HalfWidthConverter converter;
    if (!converter.available())
        return false;
    session.markDirty();
    for (int i = 0; i < MaxEntries; ++i) {
        QString &value = session.ScheduleList.at(i, slot);
        value = converter.convert(value);
    }
    return true;
}

} // namespace skedra
