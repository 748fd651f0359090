#include "menutable.h"

#include "categories.h"

namespace skedra {

namespace {

// CategoryItems stands for the thirty items of a category menu.
enum class RowKind { Menu, Popup, Item, Separator, ToolButton, ToolMenuItem, CategoryItems };

static_assert(static_cast<int>(RowKind::ToolMenuItem) == static_cast<int>(MenuEntryKind::ToolMenuItem)
              && static_cast<int>(RowKind::Separator) == static_cast<int>(MenuEntryKind::Separator),
              "RowKind mirrors MenuEntryKind");

struct Row {
    RowKind kind;
    const char16_t *name;
    int index;
    const char16_t *caption;
    const char16_t *parent;
    const char16_t *toolTip;
    const char16_t *runs;
    const char16_t *shortcuts = u"";
};

const Row Rows[] = {
    {RowKind::Menu, u"mnuFile", -1, u"ﾌｧｲﾙ(&F)", u"", u"", u""},
    {RowKind::Menu, u"mnuOpenM", -1, u"開く(&O)", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuOpen", 0, u"新規(&N)", u"mnuOpenM", u"", u"", u"Ctrl+O"},
    {RowKind::Item, u"mnuOpen", 1, u"追加(&A)", u"mnuOpenM", u"", u""},
    {RowKind::Item, u"mnuClose", -1, u"閉じる(&C)", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuOverwrite", -1, u"上書き保存(&W)", u"mnuFile", u"", u"", u"Ctrl+S"},
    {RowKind::Item, u"mnuStore", -1, u"名前を付けて保存(&S)", u"mnuFile", u"", u"", u"Ctrl+Shift+S"},
    {RowKind::Separator, u"", -1, u"", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuExportIcs", -1, u"iCalendar形式で書き出し(&I)...", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuImportIcs", -1, u"iCalendar形式を読み込み(&R)...", u"mnuFile", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuPrint", -1, u"印刷(&P)...", u"mnuFile", u"", u"", u"Ctrl+P"},
    {RowKind::Item, u"mnuExportPdf", -1, u"PDFに書き出し(&D)...", u"mnuFile", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"mnuFile", u"", u""},
    {RowKind::Menu, u"mnuRecent", -1, u"最近使ったファイル(&F)", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 0, u"&1", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 1, u"&2", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 2, u"&3", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 3, u"&4", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 4, u"&5", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentFile", 5, u"&6", u"mnuRecent", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"mnuRecent", u"", u""},
    {RowKind::Item, u"mnuRecentClear", -1, u"クリア(&L)", u"mnuRecent", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"mnuFile", u"", u""},
    {RowKind::Item, u"mnuQuit", -1, u"終了(&X)", u"mnuFile", u"", u""},
    {RowKind::Menu, u"mnuEdit", -1, u"編集(&E)", u"", u"", u""},
    {RowKind::Item, u"mnuUndo", -1, u"元に戻す(&U)", u"mnuEdit", u"", u"", u"Ctrl+Z"},
    {RowKind::Item, u"mnuRedo", -1, u"やり直し(&R)", u"mnuEdit", u"", u"", u"Ctrl+Y; Ctrl+Shift+Z"},
    {RowKind::Separator, u"", -1, u"", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuAllSel", -1, u"すべて選択", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuAdd", -1, u"データを追加(&A)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuCopyAdd", -1, u"ｺﾋﾟｰして追加(&B)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuEditLine", -1, u"編集(&E)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuDEl", -1, u"削除(&D)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuSave", -1, u"選択行を保存(&S)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuDefault", -1, u"既定値として登録(&F)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuDefClear", -1, u"既定値をｸﾘｱ(&G)", u"mnuEdit", u"", u""},
    {RowKind::Menu, u"mnuCate", -1, u"ｶﾃｺﾞﾘ(&H)", u"mnuEdit", u"", u""},
    {RowKind::CategoryItems, u"mnuCatego", -1, u"", u"mnuCate", u"", u""},
    {RowKind::Menu, u"mnuCate2", -1, u"ｽﾀﾝﾌﾟ（拡張)(&Z)", u"mnuEdit", u"", u""},
    {RowKind::CategoryItems, u"mnuCatego2", -1, u"", u"mnuCate2", u"", u""},
    {RowKind::Menu, u"mnuSecret", -1, u"ｼｰｸﾚｯﾄ(&I)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuSecretOn", -1, u"設定(&N)", u"mnuSecret", u"", u""},
    {RowKind::Item, u"mnuSecretOff", -1, u"解除(&F)", u"mnuSecret", u"", u""},
    {RowKind::Menu, u"mnuPriority", -1, u"優先度(&J)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuPriorityNon", -1, u"未設定(&N)", u"mnuPriority", u"", u""},
    {RowKind::Item, u"mnuPriorityHigh", -1, u"高(&H)", u"mnuPriority", u"", u""},
    {RowKind::Item, u"mnuPriorityLow", -1, u"低(&L)", u"mnuPriority", u"", u""},
    {RowKind::Menu, u"mnuDateColor", -1, u"日付色(&K)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuColNon", -1, u"未設定(&Z)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColBlack", -1, u"ﾌﾞﾗｯｸ(&A)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColBlue", -1, u"ﾌﾞﾙｰ(&B)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColRed", -1, u"ﾚｯﾄﾞ(&C)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColPurple", -1, u"ﾊﾟｰﾌﾟﾙ(&D)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColPink", -1, u"ﾋﾟﾝｸ(&E)", u"mnuDateColor", u"", u""},
    {RowKind::Item, u"mnuColGreen", -1, u"ｸﾞﾘｰﾝ(&F)", u"mnuDateColor", u"", u""},
    {RowKind::Menu, u"mnuAutoDel", -1, u"自動消去保護(&L)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuAutoDelOn", -1, u"ON(&N)", u"mnuAutoDel", u"", u""},
    {RowKind::Item, u"mnuAutoDelOff", -1, u"OFF(&F)", u"mnuAutoDel", u"", u""},
    {RowKind::Menu, u"mnuWait", -1, u"待受画面(&M)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuWaitOn", -1, u"表示(&N)", u"mnuWait", u"", u""},
    {RowKind::Item, u"mnuWaitOff", -1, u"非表示(&F)", u"mnuWait", u"", u""},
    {RowKind::Item, u"mnuDown", -1, u"下へ移動(&X)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuUp", -1, u"上へ移動(&Y)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuOldDel", -1, u"過去予定を全削除(&O)", u"mnuEdit", u"", u""},
    {RowKind::Menu, u"mnuEco", -1, u"文字数節約(&Z)", u"mnuEdit", u"", u""},
    {RowKind::Item, u"mnuZtoH", 0, u"内　容(&D)", u"mnuEco", u"", u""},
    {RowKind::Item, u"mnuZtoH", 1, u"ｱﾗｰﾑﾒｯｾｰｼﾞ(&M)", u"mnuEco", u"", u""},
    {RowKind::Menu, u"mnuView", -1, u"表示(&V)", u"", u"", u""},
    {RowKind::Item, u"mnuFont", -1, u"ﾌｫﾝﾄ(&F)...", u"mnuView", u"", u"Font_Change"},
    {RowKind::Item, u"mnuCal", -1, u"ｶﾚﾝﾀﾞ(&K)", u"mnuView", u"", u"disp_calendar", u"Ctrl+K"},
    {RowKind::Menu, u"mnuFindM", -1, u"検索(&S)", u"", u"", u""},
    {RowKind::Item, u"mnuFind", 2, u"件名で検索(&S)...", u"mnuFindM", u"", u"", u"Ctrl+F"},
    {RowKind::Item, u"mnuFind", 3, u"開始日時で検索(&B)...", u"mnuFindM", u"", u""},
    {RowKind::Item, u"mnuFind", 4, u"終了日時で検索(&E)...", u"mnuFindM", u"", u""},
    {RowKind::Item, u"mnuFind", 5, u"内容で検索(&D)...", u"mnuFindM", u"", u""},
    {RowKind::Menu, u"mnuModel", -1, u"機種設定(&M)", u"", u"", u""},
    {RowKind::Item, u"mnuSH51", -1, u"J-SH51", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnuSH52", -1, u"J-SH52", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnuSH53", -1, u"J-SH53", u"mnuModel", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnu601SH", -1, u"V601SH", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnu602SH", -1, u"V602SH", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnu603SH", -1, u"V603SH", u"mnuModel", u"", u""},
    {RowKind::Item, u"mnu604SH", -1, u"V604SH", u"mnuModel", u"", u""},
    {RowKind::Menu, u"mnuHelp", -1, u"ﾍﾙﾌﾟ(&H)", u"", u"", u""},
    {RowKind::Item, u"mnuHelp2", -1, u"ﾍﾙﾌﾟ(&C)", u"mnuHelp", u"", u""},
    {RowKind::Item, u"mnuVer", -1, u"ﾊﾞｰｼﾞｮﾝ情報(&V)", u"mnuHelp", u"", u""},
    {RowKind::Popup, u"pmnuEdit", -1, u"ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ", u"", u"", u""},
    {RowKind::Item, u"pmnuCancel", -1, u"ｷｬﾝｾﾙ", u"pmnuEdit", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuAdd", -1, u"追加(&A)", u"pmnuEdit", u"", u"mnuAdd"},
    {RowKind::Item, u"pmnuCopyAdd", -1, u"ｺﾋﾟｰ追加(&B)", u"pmnuEdit", u"", u"mnuCopyAdd"},
    {RowKind::Item, u"pmnuEditLine", -1, u"編集(&E)", u"pmnuEdit", u"", u"mnuEditLine"},
    {RowKind::Item, u"pmnuDEl", -1, u"削除(&D)", u"pmnuEdit", u"", u"mnuDEl"},
    {RowKind::Item, u"pmnuSave", -1, u"選択行を保存(&S)", u"pmnuEdit", u"", u"mnuSave"},
    {RowKind::Separator, u"", -1, u"", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuDefault", -1, u"既定値として登録(&F)", u"pmnuEdit", u"", u"mnuDefault"},
    {RowKind::Item, u"pmnuDefClear", -1, u"既定値をｸﾘｱ(&G)", u"pmnuEdit", u"", u"mnuDefClear"},
    {RowKind::Separator, u"", -1, u"", u"pmnuEdit", u"", u""},
    {RowKind::Menu, u"pmnuCate", -1, u"ｶﾃｺﾞﾘ(&H)", u"pmnuEdit", u"", u""},
    {RowKind::CategoryItems, u"pmnuCatego", -1, u"", u"pmnuCate", u"", u""},
    {RowKind::Menu, u"pmnuCate2", -1, u"ｽﾀﾝﾌﾟ（拡張)(&Z)", u"pmnuEdit", u"", u""},
    {RowKind::CategoryItems, u"pmnuCatego2", -1, u"", u"pmnuCate2", u"", u""},
    {RowKind::Menu, u"pmnuSecret", -1, u"ｼｰｸﾚｯﾄ(&I)", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuSecretOn", -1, u"設定(&N)", u"pmnuSecret", u"", u"mnuSecretOn"},
    {RowKind::Item, u"pmnuSecretOff", -1, u"解除(&F)", u"pmnuSecret", u"", u"mnuSecretOff"},
    {RowKind::Menu, u"pmnuPriority", -1, u"優先度(&J)", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuPriorityNon", -1, u"未設定(&N)", u"pmnuPriority", u"", u"mnuPriorityNon"},
    {RowKind::Item, u"pmnuPriorityHigh", -1, u"高(&H)", u"pmnuPriority", u"", u"mnuPriorityHigh"},
    {RowKind::Item, u"pmnuPriorityLow", -1, u"低(&L)", u"pmnuPriority", u"", u"mnuPriorityLow"},
    {RowKind::Menu, u"pmnuDateColor", -1, u"日付色(&K)", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuColNon", -1, u"未設定(&Z)", u"pmnuDateColor", u"", u"mnuColNon"},
    {RowKind::Item, u"pmnuColBlack", -1, u"ﾌﾞﾗｯｸ(&A)", u"pmnuDateColor", u"", u"mnuColBlack"},
    {RowKind::Item, u"pmnuColBlue", -1, u"ﾌﾞﾙｰ(&B)", u"pmnuDateColor", u"", u"mnuColBlue"},
    {RowKind::Item, u"pmnuColRed", -1, u"ﾚｯﾄﾞ(&C)", u"pmnuDateColor", u"", u"mnuColRed"},
    {RowKind::Item, u"pmnuColPurple", -1, u"ﾊﾟｰﾌﾟﾙ(&D)", u"pmnuDateColor", u"", u"mnuColPurple"},
    {RowKind::Item, u"pmnuColPink", -1, u"ﾋﾟﾝｸ(&E)", u"pmnuDateColor", u"", u"mnuColPink"},
    {RowKind::Item, u"pmnuColGreen", -1, u"ｸﾞﾘｰﾝ(&F)", u"pmnuDateColor", u"", u"mnuColGreen"},
    {RowKind::Menu, u"pmnuAutoDel", -1, u"自動消去保護(&L)", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuAutoDelOn", -1, u"ON(&N)", u"pmnuAutoDel", u"", u"mnuAutoDelOn"},
    {RowKind::Item, u"pmnuAutoDelOff", -1, u"OFF(&F)", u"pmnuAutoDel", u"", u"mnuAutoDelOff"},
    {RowKind::Menu, u"pmnuWait", -1, u"待受画面(&M)", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuWaitOn", -1, u"表示(&N)", u"pmnuWait", u"", u"mnuWaitOn"},
    {RowKind::Item, u"pmnuWaitOff", -1, u"非表示(&F)", u"pmnuWait", u"", u"mnuWaitOff"},
    {RowKind::Separator, u"", -1, u"", u"pmnuEdit", u"", u""},
    {RowKind::Item, u"pmnuDown", -1, u"下へ移動(&X)", u"pmnuEdit", u"", u"mnuDown"},
    {RowKind::Item, u"pmnuUp", -1, u"上へ移動(&Y)", u"pmnuEdit", u"", u"mnuUp"},
    {RowKind::Popup, u"p2mnuMenu", -1, u"ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ2", u"", u"", u""},
    {RowKind::Item, u"p2mnuCancel", -1, u"ｷｬﾝｾﾙ", u"p2mnuMenu", u"", u""},
    {RowKind::Separator, u"", -1, u"", u"p2mnuMenu", u"", u""},
    {RowKind::Item, u"p2mnuFind", -1, u"検索(&F)", u"p2mnuMenu", u"", u"frmFind"},
    {RowKind::ToolButton, u"tbrOpen", -1, u"開く", u"Toolbar1", u"vCalendarファイルを開きます", u"mnuOpen_0"},
    {RowKind::ToolMenuItem, u"tbrOpenN", -1, u"新規(&N)", u"tbrOpen", u"", u"mnuOpen_0"},
    {RowKind::ToolMenuItem, u"tbrOpenA", -1, u"追加(&A)", u"tbrOpen", u"", u"mnuOpen_1"},
    {RowKind::ToolButton, u"tbrSave", -1, u"保存", u"Toolbar1", u"現在のデータをvCalendarファイルに保存します", u"mnuStore"},
    {RowKind::ToolButton, u"tbrAdd", -1, u"追加", u"Toolbar1", u"データを新規に追加します", u"mnuAdd"},
    {RowKind::ToolButton, u"tbrEdit", -1, u"編集", u"Toolbar1", u"現在のデータを編集します", u"mnuEditLine"},
    {RowKind::ToolButton, u"tbrDel", -1, u"削除", u"Toolbar1", u"現在のデータを削除します", u"mnuDEl"},
    {RowKind::ToolButton, u"tbrDown", -1, u"下へ", u"Toolbar1", u"現在の選択行を下へ移動します", u"mnuDown"},
    {RowKind::ToolButton, u"tbrUp", -1, u"上へ", u"Toolbar1", u"現在の選択行を上へ移動します", u"mnuUp"},
    {RowKind::ToolButton, u"tbrFont", -1, u"ﾌｫﾝﾄ", u"Toolbar1", u"フォントの設定を行います", u"Font_Change"},
    {RowKind::ToolButton, u"tbrCal", -1, u"ｶﾚﾝﾀﾞ", u"Toolbar1", u"ｶﾚﾝﾀﾞ形式表示に切り替えます", u"disp_calendar"},
};

std::vector<MenuEntry> buildTable()
{
    std::vector<MenuEntry> table;
    for (const Row &row : Rows) {
        const QString name = QString::fromUtf16(row.name);
        if (row.kind == RowKind::CategoryItems) {
            const bool extended = name.endsWith(QLatin1Char('2'));
            const bool popup = name.startsWith(QLatin1Char('p'));
            const auto menu = extended ? categories::Menu::Cate2 : categories::Menu::Cate;
            for (int i = 0; i < categories::MenuItemCount; ++i) {
                MenuEntry e{MenuEntryKind::Item, name, i, categories::menuItemCaption(menu, i),
                            QString::fromUtf16(row.parent), QString(), QString()};
                if (popup)
                    e.runs = name.mid(1) + QLatin1Char('_') + QString::number(i);
                table.push_back(e);
            }
            continue;
        }
        table.push_back({static_cast<MenuEntryKind>(row.kind), name, row.index,
                         QString::fromUtf16(row.caption), QString::fromUtf16(row.parent),
                         QString::fromUtf16(row.toolTip), QString::fromUtf16(row.runs),
                         QString::fromUtf16(row.shortcuts)});
    }
    return table;
}

} // namespace

QString MenuEntry::objectName() const
{
    if (kind == MenuEntryKind::Separator)
        return {};
    return index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
}

const std::vector<MenuEntry> &menuTable()
{
    static const std::vector<MenuEntry> table = buildTable();
    return table;
}

const MenuEntry *findMenuEntry(QStringView objectName)
{
    for (const MenuEntry &e : menuTable()) {
        if (e.kind != MenuEntryKind::Separator && e.objectName() == objectName)
            return &e;
    }
    return nullptr;
}

QString plainCaption(QStringView caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "(&D)" goes as a whole, "&D" loses the "&", "&&" is one "&".
        if (caption[i] == u'(' && i + 3 < caption.size() && caption[i + 1] == u'&' && caption[i + 3] == u')'
            && caption[i + 2] != u'&') {
            i += 3;
            continue;
        }
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    if (plain.endsWith(QLatin1String("...")))
        plain.chop(3);
    return plain;
}

QString stepName(QStringView objectName)
{
    const MenuEntry *item = findMenuEntry(objectName);
    if (!item || item->kind != MenuEntryKind::Item)
        return QString();
    const QString own = plainCaption(item->caption);
    if (item->name == QLatin1String("mnuCatego") || item->name == QLatin1String("mnuCatego2")) {
        const auto menu = item->name.endsWith(QLatin1Char('2')) ? categories::Menu::Cate2 : categories::Menu::Cate;
        const bool stamp = categories::codeOfMenuItem(menu, item->index) >= categories::FirstStampCode;
        return (stamp ? QStringLiteral("ｽﾀﾝﾌﾟ（") : QStringLiteral("ｶﾃｺﾞﾘ（")) + own + QStringLiteral("）");
    }
    // The item of a submenu is named by the submenu and itself.
    const MenuEntry *menu = findMenuEntry(item->parent);
    if (menu && menu->kind == MenuEntryKind::Menu && !menu->parent.isEmpty())
        return plainCaption(menu->caption) + QStringLiteral("（") + own + QStringLiteral("）");
    return own;
}

QString captionWithStep(const QString &caption, const QString &step)
{
    if (step.isEmpty())
        return caption;
    QString shown = step;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption + QStringLiteral(": ") + shown;
}

std::optional<QString> findMenuCaption(int column)
{
    switch (column) {
    case 2: return QStringLiteral("件名で検索(&F)");
    case 3: return QStringLiteral("開始日時で検索(&F)");
    case 4: return QStringLiteral("終了日時で検索(&F)");
    case 5: return QStringLiteral("内容で検索(&F)");
    default: return std::nullopt;
    }
}

QChar accessKey(QStringView caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;  // "&&" shows one "&"
    }
    return QChar();
}

std::vector<int> itemsWithAccessKey(const std::vector<QString> &captions, QChar key)
{
    std::vector<int> items;
    const QChar wanted = key.toUpper();
    for (size_t i = 0; i < captions.size(); ++i) {
        if (!wanted.isNull() && accessKey(captions[i]) == wanted)
            items.push_back(int(i));
    }
    return items;
}

} // namespace skedra
