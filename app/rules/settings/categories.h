// The category and stamp vocabulary: codes 00 to 59 with their names and how
// each is kept in an entry.
//
// Codes 01 to 06 are vCalendar categories (CATEGORIES "PERSONAL" to "CLUB");
// codes 07 to 59 are handset stamps, kept as the code minus 6 ("1" to "53")
// in X-JPGSH-CATEGORIES; 00 is neither. The list grid shows the names in
// column 8 and sorts by the two-digit code; the category menus offer codes
// 00 to 29 (mnuCatego 0-29) and 30 to 59 (mnuCatego2 0-29).
#pragma once

#include "schedule.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace skedra::categories {

constexpr int CodeCount = 60;         // "00" to "59"
constexpr int FirstStampCode = 7;     // stamp "1"
constexpr int LastCategoryCode = 6;   // "CLUB"
constexpr int MenuItemCount = 30;     // items of mnuCate and of mnuCate2

// Property name of the stamp position.
inline QString stampPropertyName() { return QStringLiteral("X-JPGSH-CATEGORIES"); }
inline QString categoriesPropertyName() { return QStringLiteral("CATEGORIES"); }

// Name of a code ("選択なし", "個人予定", ..., "注射"); empty out of range.
QString name(int code);
// The two-digit form of a code ("07"); empty out of range.
QString codeText(int code);
// CATEGORIES value of codes 1 to 6; empty for every other code.
QString categoriesValue(int code);
// X-JPGSH-CATEGORIES value of codes 7 to 59 ("1" to "53"); empty otherwise.
QString stampValue(int code);

// "PERSONAL" to "CLUB" give 1 to 6 (exact text); anything else nothing.
std::optional<int> codeOfCategoriesValue(QStringView value);
// "1" to "53" give 7 to 59 (exact text, no leading zero); anything else
// nothing.
std::optional<int> codeOfStampValue(QStringView value);

// The code an entry shows: its category when CategoriesValue is set, else its
// stamp when the stamp name is set, else 0. Nothing when the category or
// stamp text is not one of the vocabulary (the grid then leaves the cell and
// the sort code as they were).
std::optional<int> codeOfEntry(const ScheduleEntry &entry);

// The two category menus and the code of their items: mnuCatego index i is
// code i, mnuCatego2 index i is code 30 + i. -1 for an index outside 0-29.
enum class Menu { Cate, Cate2 };
int codeOfMenuItem(Menu menu, int index);

// Caption of a category menu item: the name and an access key, the letters
// A to Z for items 0 to 25 of each menu and 1 to 4 for items 26 to 29
// ("記念日(&H)" is item 7 of mnuCate). Empty for an index outside 0-29.
QString menuItemCaption(Menu menu, int index);

} // namespace skedra::categories
