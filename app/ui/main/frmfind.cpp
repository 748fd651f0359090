#include "frmfind.h"

#include "dialogs.h"
#include "frmmain.h"
#include "gridview.h"
#include "search.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace skedra {

namespace {

// The results list: header and column widths in twips (column 0 is the
// narrow fixed column).
const QString ResultsHeader = QStringLiteral("|<件名|<開始日時|<終了日時|<内容");
constexpr int ResultsColumnTwips[] = {225, 2000, 2050, 2050, 2000};

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void closeResults(frmMain &main)
{
    for (frmFindEx *results : main.findChildren<frmFindEx *>())
        results->close();
}

} // namespace

void showFindDialog(frmMain &main, Dialogs &dialogs)
{
    frmFind dialog(main, dialogs);
    dialog.exec();
}

frmFind::frmFind(frmMain &main, Dialogs &dialogs)
    : QDialog(&main)
    , m_main(main)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(findCaption(main.FindColumn));

    auto *label = new QLabel(QStringLiteral("検索する文字列"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAttribute(Qt::WA_InputMethodEnabled, findUsesInputMethod(main.FindColumn));
    auto *partial = new QRadioButton(QStringLiteral("部分的に一致するものを検索"), this);
    partial->setObjectName(QStringLiteral("Option2"));
    partial->setChecked(true);
    m_whole = new QRadioButton(QStringLiteral("完全に一致するものを検索"), this);
    m_whole->setObjectName(QStringLiteral("Option1"));
    m_search = button("Command1", QStringLiteral("検　索"), this);
    m_search->setEnabled(false);
    QPushButton *cancel = button("Command2", QStringLiteral("ｷｬﾝｾﾙ"), this);

    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!text.isEmpty())
            m_search->setEnabled(true);
    });
    connect(m_text, &QLineEdit::returnPressed, this, &frmFind::Command1_Click);
    connect(m_search, &QPushButton::clicked, this, &frmFind::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_search);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addWidget(partial);
    layout->addWidget(m_whole);
    layout->addLayout(buttons);
}

void frmFind::Command1_Click()
{
    const QString text = m_text->text();
    if (text.isEmpty())
        return;
    SessionState &state = m_main.state();
    // A new search replaces the hits an open results list would read.
    closeResults(m_main);
    const std::vector<int> rows = findRows(m_main.grid(), m_main.FindColumn, text,
                                           m_whole->isChecked() ? FindMatch::Whole : FindMatch::Partial);
    state.FoundEntries = foundEntries(state.ScheduleList, rows);
    accept();
    if (state.FoundEntries.empty()) {
        m_dialogs.message(QStringLiteral("検索結果"), QStringLiteral("該当するデータは見つかりませんでした。　　　"),
                          MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    auto *results = new frmFindEx(m_main);
    results->setAttribute(Qt::WA_DeleteOnClose);
    results->show();
}

frmFindEx::frmFindEx(frmMain &main)
    : QDialog(&main)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmFindEx"));
    setWindowTitle(QStringLiteral("検索結果"));
    setModal(false);

    const std::vector<EntryKey> &found = main.state().FoundEntries;
    QStringList header = ResultsHeader.split(u'|');
    for (QString &h : header) {
        if (h.startsWith(u'<'))
            h.remove(0, 1);
    }
    m_grid = new QTableWidget(int(found.size()), int(header.size()), this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setToolTip(QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸでメイン画面が移動します。"));
    m_grid->setHorizontalHeaderLabels(header);
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        m_grid->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_grid->setColumnWidth(c, twipsToPixels(ResultsColumnTwips[c]));
    }
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    for (int k = 0; k < int(found.size()); ++k) {
        const ScheduleList &list = main.state().ScheduleList;
        const int index = list.indexOf(found[size_t(k)]);
        if (index < 0)
            continue;  // deleted since the search
        const std::array<QString, 4> texts = foundRowTexts(list[index]);
        for (int c = 0; c < 4; ++c)
            m_grid->setItem(k, c + 1, new QTableWidgetItem(texts[c]));
    }

    auto *count = new QLabel(foundCountText(int(found.size())), this);
    count->setObjectName(QStringLiteral("Label2"));
    QPushButton *again = button("Command1", QStringLiteral("再検索"), this);
    QPushButton *cancel = button("Command2", QStringLiteral("ｷｬﾝｾﾙ"), this);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { MSFlexGrid1_DblClick(row + 1); });
    connect(again, &QPushButton::clicked, this, &frmFindEx::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(count);
    bottom->addStretch();
    bottom->addWidget(again);
    bottom->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);
    resize(640, 300);
}

void frmFindEx::MSFlexGrid1_DblClick(int row)
{
    const std::vector<EntryKey> &found = m_main.state().FoundEntries;
    if (row < 1 || row > int(found.size()))
        return;
    if (!showFoundEntry(m_main.state().ScheduleList, m_main.grid(), found[size_t(row - 1)]))
        return;
    m_main.gridView()->showGrid();
}

void frmFindEx::Command1_Click()
{
    close();
    if (m_main.findHook)
        m_main.findHook();
}

} // namespace skedra
