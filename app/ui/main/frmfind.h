// The find dialogs of the main list. frmFind asks for the text and whether
// it must match a whole cell; a search with hits opens frmFindEx, the list
// of hits, from which a double-click moves the main list to the entry. The
// search itself is widget-free (search.h).
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace skedra {

class Dialogs;
class frmMain;

// The find command (p2mnuFind): frmFind, modal over the main window, for the
// column of the header that was right-clicked (frmMain::FindColumn).
void showFindDialog(frmMain &main, Dialogs &dialogs);

class frmFind : public QDialog {
    Q_OBJECT
public:
    frmFind(frmMain &main, Dialogs &dialogs);

    // Searches the main list: hits are kept in the session's FoundEntries and
    // shown in frmFindEx, or the user is told there are none. An empty text
    // does nothing.
    void Command1_Click();

private:
    frmMain &m_main;
    Dialogs &m_dialogs;
    QLineEdit *m_text = nullptr;
    QRadioButton *m_whole = nullptr;
    QPushButton *m_search = nullptr;
};

// The hits of the last search, modeless over the main window.
class frmFindEx : public QDialog {
    Q_OBJECT
public:
    explicit frmFindEx(frmMain &main);

    // Double-click on hit `row` (1-based): the main list moves to the row
    // that now shows the hit's entry, which becomes current and the top row.
    // A hit whose entry was deleted does nothing.
    void MSFlexGrid1_DblClick(int row);
    // "再検索": closes the results and asks again.
    void Command1_Click();

private:
    frmMain &m_main;
    QTableWidget *m_grid = nullptr;
};

} // namespace skedra
