// Every menu, pop-up menu item and toolbar button of the main window as
// data: object name, caption with its access key, tool tip, parent and the
// command it runs, in display order. The window builds its menus, pop-up
// menus and toolbar from this one table.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace skedra {

enum class MenuEntryKind {
    Menu,          // a menu or submenu; parent "" is the menu bar
    Popup,         // a pop-up menu over the grid (never on the menu bar)
    Item,          // a command item
    Separator,
    ToolButton,    // a button of Toolbar1
    ToolMenuItem,  // an item of a toolbar button's drop-down
};

struct MenuEntry {
    MenuEntryKind kind;
    QString name;      // control name: "mnuAdd", "mnuCatego", ...
    int index;         // index within a control array (mnuOpen, mnuZtoH,
                       // mnuCatego, ...), -1 otherwise
    QString caption;   // exact caption, "&" before the access key
    QString parent;    // object name of the menu, pop-up or button it is in;
                       // "Toolbar1" for toolbar buttons
    QString toolTip;   // toolbar buttons only
    QString runs;      // pop-up items and toolbar buttons: the object name of
                       // the item (or routine) whose command they run
    QString shortcuts; // key sequences in portable text, "; " between two
                       // ("Ctrl+Y; Ctrl+Shift+Z"); empty for none

    // Unique object name: the name, with "_" and the index for an item of a
    // control array ("mnuOpen_0", "pmnuCatego2_29"). Empty for separators.
    QString objectName() const;
};

// The whole table in display order. Category items carry the captions of
// all sixty codes; which of them are shown depends on the model
// (categoryMenuConfig in models.h), as does the caption of mnuCate and
// pmnuCate ("ｶﾃｺﾞﾘ(&H)" here, "ｽﾀﾝﾌﾟ(&H)" for 601SH to 604SH).
const std::vector<MenuEntry> &menuTable();

// The entry of an object name; null when there is none.
const MenuEntry *findMenuEntry(QStringView objectName);

// The access key of a caption: the character after its first single "&",
// upper-cased; null when it has none ("&&" is a literal "&").
QChar accessKey(QStringView caption);

// Which of `captions` (the visible items of one menu, in order) share
// `key`. A key that two or more items share only moves the highlight
// between them; a key of one item acts at once.
std::vector<int> itemsWithAccessKey(const std::vector<QString> &captions, QChar key);

// A caption as plain text: without its access key ("(&D)" or the "&"
// before a letter) and without a trailing "...".
QString plainCaption(QStringView caption);

// The name an undo step of a command carries ("元に戻す(&U): 削除"), from the
// caption of the item that runs it: "削除" for mnuDEl, "データを追加" for
// mnuAdd; an item of a submenu gives the submenu's name with its own in
// brackets ("優先度（高）", "文字数節約（内　容）", "開く（追加）"); a category
// or stamp item "ｶﾃｺﾞﾘ（仕事）" or "ｽﾀﾝﾌﾟ（映画）". Empty for a name that is no
// item of the table.
QString stepName(QStringView objectName);

// The caption of the undo or redo item while there is a step to undo or
// redo: the item's caption, ": " and the step's name.
QString captionWithStep(const QString &caption, const QString &step);

// Caption of p2mnuFind for a right-click on the header of grid column 2 to
// 5 ("件名で検索(&F)", ...); nothing for the other columns, where no pop-up
// menu is shown.
std::optional<QString> findMenuCaption(int column);

} // namespace skedra
