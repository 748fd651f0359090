// The attribute commands of the list: set one property on every entry of the
// selected band of rows (secret, priority, date colour, auto-delete
// protection, standby display, category or stamp), and the full-width to
// half-width conversion of descriptions or alarm messages.
//
// The commands change the session's list and mark it changed; they return
// the grid cells to rewrite, which the window applies without re-rendering
// the list. They do not check the model: the menus offer only what the
// current model supports (categoryMenuConfig in models.h).
#pragma once

#include "categories.h"
#include "schedule.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace skedra {

struct SessionState;

// One grid cell to rewrite: grid row (entry + 1), column, text.
struct CellUpdate {
    int row;
    int column;
    QString text;
    bool operator==(const CellUpdate &) const = default;
};
using CellUpdates = std::vector<CellUpdate>;

// The band of grid rows a command acts on, from the smaller to the larger of
// the current row and the other end of the selection (1-based grid rows).
struct RowBand {
    int first;
    int last;
    static RowBand between(int currentRow, int selectionEnd)
    {
        return currentRow <= selectionEnd ? RowBand{currentRow, selectionEnd}
                                          : RowBand{selectionEnd, currentRow};
    }
};

enum class AttributeCommand {
    SecretOn, SecretOff,
    PriorityNon, PriorityHigh, PriorityLow,
    ColNon, ColBlack, ColBlue, ColRed, ColPurple, ColPink, ColGreen,
    AutoDelOn, AutoDelOff,
    WaitOn, WaitOff,
};

// The command of a menu or pop-up item: "mnuSecretOn" and "pmnuSecretOn"
// give SecretOn. Nothing for any other name.
std::optional<AttributeCommand> attributeCommandFor(QStringView objectName);
// The menu item of a command: "mnuSecretOn" for SecretOn.
QString attributeItemName(AttributeCommand command);

// Applies one command to the entries of the band. An empty list is left
// alone (nothing returned, not marked changed); otherwise the list is marked
// changed. Rows of the band that hold no entry are skipped.
//
// Secret also sets the name "CLASS" where it was empty: an entry read
// without a CLASS line would otherwise lose the change when saved, because
// the writer skips a position without a name.
CellUpdates ApplyAttribute(SessionState &session, RowBand band, AttributeCommand command);

// Category and stamp items: mnuCatego index 0-29 is code 0-29, mnuCatego2
// index 0-29 is code 30-59. Writes the category or stamp, CategoryCode and
// column 8. An index outside 0-29 changes no entry (the list still counts as
// changed, as with any band command on a non-empty list).
CellUpdates SetCategory(SessionState &session, RowBand band, categories::Menu menu, int index);

// Sets code 0-59 on one entry:
//  - 01-06: CATEGORIES gets the value (and the name "CATEGORIES" when it had
//    none, so the change reaches the file); the stamp name and value are
//    emptied.
//  - 07-59: X-JPGSH-CATEGORIES gets the name and the stamp number; the
//    CATEGORIES value is emptied.
//  - 00: all three are emptied.
//  Where the CATEGORIES value ends empty its name is emptied too, so that no
//  empty "CATEGORIES:" line is written; its parameters are kept.
// CategoryCode becomes the two-digit code. Returns false (entry unchanged)
// for a code outside 0-59.
bool setEntryCategory(ScheduleEntry &entry, int code);

// --- Full-width to half-width (mnuZtoH) --------------------------------------

// Index 0: descriptions; 1: the whole alarm value (moment and message).
enum class ZtoHField { Description = 0, AlarmMessage = 1 };

struct Question {
    QString title;
    QString text;
};

// The question to ask before the conversion (title "確認", Yes/No); nothing
// when the command does nothing (empty list, index not 0 or 1).
std::optional<Question> ZtoHQuestion(const SessionState &session, int index);

// After a Yes: converts the field in all 500 positions, marks the list
// changed and returns true; the window then re-renders the list. Returns
// false and changes nothing on an empty list, an unknown index or when the
// conversion is not available.
bool ZtoH(SessionState &session, int index);

// Narrows text: every full-width character with a half-width counterpart
// that the handset's character set can hold becomes it (letters, digits,
// symbols, katakana, the ideographic space). "￥" and "￣" become "\" and
// "~", the single-byte yen sign and overline of the handsets; a character
// whose narrow form has no CP932 form (←, ■, ○, ￠, ...) stays as it is.
// Kanji and hiragana stay.
class HalfWidthConverter {
public:
    HalfWidthConverter();
    ~HalfWidthConverter();
    HalfWidthConverter(const HalfWidthConverter &) = delete;
    HalfWidthConverter &operator=(const HalfWidthConverter &) = delete;

    // False when ICU's transliteration data could not be loaded; convert()
    // then returns every text unchanged.
    bool available() const;
    QString convert(const QString &text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// One-off conversion (builds a converter each time).
QString toHalfWidth(const QString &text);

} // namespace skedra
