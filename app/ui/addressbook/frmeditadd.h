// The telephone book window "電話帳": names and numbers kept for the alarm's
// call number, edited in place and filled from vCard files. A double-click
// on a row hands its number to the editor that opened the book.
//
// The entry editors open it from their telephone-book button (Command1 of
// frmEditR, cmdAddress of frmEdit) with one call:
//
//     openAddressList(state, dialogs, this, QStringLiteral("EditR"), txtArTel);
//
// ("Edit" from frmEdit). It records the caller in state.AddressListCaller,
// shows the book modally over the editor and, when the user double-clicks a
// row, writes the row's number into the given telephone field. A book file
// too large to read is reported and the book is not opened, so that saving
// cannot replace it.
#pragma once

#include "addressbook.h"
#include "bookfile.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace skedra {

class Dialogs;
struct SessionState;

void openAddressList(SessionState &state, Dialogs &dialogs, QWidget *editor, const QString &caller,
                     QLineEdit *telField);

class frmEditAdd : public QDialog {
    Q_OBJECT
public:
    // `pickNumber` receives the number of a double-clicked row, as the
    // editor takes it (editorNumber). The book is
    // read from `location` at once.
    frmEditAdd(Dialogs &dialogs, QWidget *parent, std::function<void(const QString &)> pickNumber,
               const BookLocation &location = BookLocation::standard());

    const AddressBook &book() const { return m_book; }
    // What reading the book file gave: Ok, or TooLarge (the book is then
    // empty and must not be shown).
    const BookMessage &loadMessage() const { return m_loadMessage; }

    void btnAdd_Click();
    void btnIn_Click();
    void btnDel_Click();
    void btnImport_Click();
    void btnOk_Click();
    // Double-click on data row `row` (0-based).
    void MSFlexGrid1_DblClick(int row);

    // Closing asks the save question when the book changed.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The save question; true when the window may close.
    bool mayClose();
    // Sorts and saves; false when the book was not saved: writing failed
    // (the user is told) or the user went back rather than have characters
    // written as "?".
    bool save();
    void showBook();
    void showCurrentRow();
    void selectRow(int row);

    Dialogs &m_dialogs;
    std::function<void(const QString &)> m_pickNumber;
    BookLocation m_location;
    AddressBook m_book;
    BookMessage m_loadMessage;
    bool m_closeAllowed = false;
    bool m_showing = false;

    QTableWidget *m_grid = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_number = nullptr;
};

} // namespace skedra
