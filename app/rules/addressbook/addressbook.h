// The telephone book as a list: one name and number per row, a current row
// and a top row, and the rules of the book window's buttons. The window
// (frmeditadd.h) shows this state and forwards the user's actions to it.
#pragma once

#include <QList>
#include <QString>

namespace skedra {

struct AddressRecord {
    QString name;
    QString number;

    bool isEmpty() const { return name.isEmpty() && number.isEmpty(); }
    bool operator==(const AddressRecord &) const = default;
};

// The most rows the book takes. Its window shows every row, and sorts and
// shows them all again after each change.
constexpr int MaxBookRecords = 100000;

// The number a row hands to the entry editor, whose telephone field takes
// digits with "+", "*", "#" and "-". The book keeps its numbers as
// imported; vCards of today write them for people to read, so on the way
// to the editor a "tel:" scheme and its parameters (";ext=102") are
// dropped, parentheses removed, and spaces and dots become hyphens, one
// between two groups: "(111) 555-1212" gives "111-555-1212".
QString editorNumber(const QString &number);

// The list's comparison: two texts that both read as numbers compare as
// numbers, any other pair as text. Negative, zero or positive.
int genericCompare(const QString &a, const QString &b);

// Ascending by name, equal names by number; equal rows keep their order.
void sortRecords(QList<AddressRecord> &records);

class AddressBook {
public:
    // A book with no record keeps one empty row.
    AddressBook();

    const QList<AddressRecord> &rows() const { return m_rows; }
    int rowCount() const { return int(m_rows.size()); }
    const AddressRecord &row(int index) const { return m_rows[index]; }

    // Current row and first row shown, both 0-based.
    int current() const { return m_current; }
    void setCurrent(int index);
    int topRow() const { return m_top; }
    void setTopRow(int index);

    // True after any change, false after loading and after saving.
    bool changed() const { return m_changed; }
    void markSaved() { m_changed = false; }

    // The rows read from the book file, sorted; row 0 current and on top.
    void load(const QList<AddressRecord> &records);

    // Typing in the name or number box: the current row's cell follows the
    // box; a text that differs from the cell marks the book changed.
    void setName(const QString &name);
    void setNumber(const QString &number);

    // btnAdd: a new empty row at the end becomes current; from seven grid
    // rows on (the header counted) the list scrolls so that the new row is
    // the last of six shown.
    void add();
    // btnIn: an empty row at the current row's place, which stays current.
    void insert();
    // btnDel: removes the current row, or empties it when it is the only
    // one; the top row stays where it was.
    void remove();

    // vCard import: the records go after the existing rows, or into the
    // only row when that one is empty, then the list is sorted. Marks the
    // book changed. Refused (false, nothing changed) when the book would
    // then hold more than MaxBookRecords rows.
    bool importRecords(const QList<AddressRecord> &records);

    void sort() { sortRecords(m_rows); }
    // What saving writes, in list order: every row with a name or a number.
    QList<AddressRecord> recordsToSave() const;

private:
    void clampRows();

    QList<AddressRecord> m_rows;
    int m_current = 0;
    int m_top = 0;
    bool m_changed = false;
};

} // namespace skedra
