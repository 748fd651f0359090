#include "categories.h"

namespace skedra::categories {

namespace {

const char16_t *const Names[CodeCount] = {
    u"選択なし", // 00
    u"個人予定", // 01
    u"休日", // 02
    u"旅行", // 03
    u"仕事", // 04
    u"ミーティング", // 05
    u"クラブ・サークル", // 06
    u"記念日", // 07
    u"連絡", // 08
    u"デート", // 09
    u"ドライブ", // 10
    u"買い物", // 11
    u"食事", // 12
    u"宴会", // 13
    u"カラオケ", // 14
    u"出張", // 15
    u"病院", // 16
    u"趣味", // 17
    u"スポーツ", // 18
    u"鑑賞", // 19
    u"お金", // 20
    u"結婚式", // 21
    u"温泉", // 22
    u"スノボ", // 23
    u"映画", // 24
    u"テレビ", // 25
    u"野球", // 26
    u"サッカー", // 27
    u"パソコン", // 28
    u"遊園地", // 29
    u"笑顔", // 30
    u"疲労", // 31
    u"泣き顔", // 32
    u"危険", // 33
    u"犬", // 34
    u"猫", // 35
    u"花１", // 36
    u"花２", // 37
    u"プレゼント", // 38
    u"休み", // 39
    u"発表", // 40
    u"締切り", // 41
    u"海外", // 42
    u"登山", // 43
    u"海水浴", // 44
    u"キャンプ", // 45
    u"動物園", // 46
    u"水族館", // 47
    u"花火", // 48
    u"お祭り", // 49
    u"運動会", // 50
    u"ゴルフ", // 51
    u"スキー", // 52
    u"プール", // 53
    u"トレーニング", // 54
    u"コンサート", // 55
    u"喫茶", // 56
    u"図書館", // 57
    u"美容院", // 58
    u"注射", // 59
};

const char16_t *const CategoriesValues[LastCategoryCode + 1] = {
    u"", u"PERSONAL", u"HOLIDAY", u"TRAVEL", u"BUSINESS", u"MEETING", u"CLUB",
};

bool inRange(int code) { return code >= 0 && code < CodeCount; }

} // namespace

QString name(int code)
{
    return inRange(code) ? QString::fromUtf16(Names[code]) : QString();
}

QString codeText(int code)
{
    if (!inRange(code))
        return {};
    return QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
}

QString categoriesValue(int code)
{
    if (code < 1 || code > LastCategoryCode)
        return {};
    return QString::fromUtf16(CategoriesValues[code]);
}

QString stampValue(int code)
{
    if (code < FirstStampCode || code >= CodeCount)
        return {};
    return QString::number(code - LastCategoryCode);
}

std::optional<int> codeOfCategoriesValue(QStringView value)
{
    for (int code = 1; code <= LastCategoryCode; ++code) {
        if (value == QStringView(CategoriesValues[code]))
            return code;
    }
    return std::nullopt;
}

std::optional<int> codeOfStampValue(QStringView value)
{
    // Exactly the decimal text of 1 to 53, as the handset writes it.
    if (value.isEmpty() || value.size() > 2 || value.startsWith(u'0'))
        return std::nullopt;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int stamp = value.toInt();
    if (stamp < 1 || stamp > CodeCount - FirstStampCode)
        return std::nullopt;
    return stamp + LastCategoryCode;
}

std::optional<int> codeOfEntry(const ScheduleEntry &entry)
{
    if (!entry[CategoriesValue].isEmpty())
        return codeOfCategoriesValue(entry[CategoriesValue]);
    if (!entry[ShCategoriesName].isEmpty())
        return codeOfStampValue(entry[ShCategoriesValue]);
    return 0;
}

int codeOfMenuItem(Menu menu, int index)
{
    if (index < 0 || index >= MenuItemCount)
        return -1;
    return menu == Menu::Cate ? index : MenuItemCount + index;
}

QString menuItemCaption(Menu menu, int index)
{
    const int code = codeOfMenuItem(menu, index);
    if (code < 0)
        return {};
    const QChar key = index < 26 ? QChar(u'A' + index) : QChar(u'1' + (index - 26));
    return name(code) + QStringLiteral("(&") + key + QLatin1Char(')');
}

} // namespace skedra::categories
