#include "frmeditadd.h"

#include "dialogs.h"
#include "frmrun.h"
#include "session.h"
#include "vcard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace skedra {

namespace {

enum Column { FixedColumn = 0, NameColumn = 1, NumberColumn = 2 };

void showMessage(Dialogs &dialogs, const BookMessage &m)
{
    dialogs.message(m.title(), m.text(), m.icon(), MessageButtons::Ok);
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

void openAddressList(SessionState &state, Dialogs &dialogs, QWidget *editor, const QString &caller,
                     QLineEdit *telField)
{
    state.AddressListCaller = caller;
    frmEditAdd book(dialogs, editor, [telField](const QString &number) {
        if (telField)
            telField->setText(number);
    });
    if (!book.loadMessage().ok()) {
        showMessage(dialogs, book.loadMessage());
        return;
    }
    book.exec();
}

frmEditAdd::frmEditAdd(Dialogs &dialogs, QWidget *parent, std::function<void(const QString &)> pickNumber,
                       const BookLocation &location)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_pickNumber(std::move(pickNumber))
    , m_location(location)
{
    setObjectName(QStringLiteral("frmEditAdd"));
    setWindowTitle(QStringLiteral("電話帳"));

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setColumnCount(3);
    // The header texts, spaces and all, size the columns.
    m_grid->setHorizontalHeaderLabels({QStringLiteral("　"), QStringLiteral("氏名　　　　　　　　　　　　"),
                                       QStringLiteral("電話番号  　　    　  　　　　　　　　　　　　")});
    for (int c = NameColumn; c <= NumberColumn; ++c)
        m_grid->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    m_grid->setColumnWidth(FixedColumn, 16);
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);

    auto *frame = new QGroupBox(QStringLiteral("編　集"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *nameLabel = new QLabel(QStringLiteral("氏　　名"), frame);
    nameLabel->setObjectName(QStringLiteral("Label3"));
    m_name = new QLineEdit(frame);
    m_name->setObjectName(QStringLiteral("txtName"));
    auto *numberLabel = new QLabel(QStringLiteral("電話番号"), frame);
    numberLabel->setObjectName(QStringLiteral("Label1"));
    m_number = new QLineEdit(frame);
    m_number->setObjectName(QStringLiteral("txtAddress"));
    m_number->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto *frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(nameLabel, 0, 0);
    frameLayout->addWidget(m_name, 0, 1);
    frameLayout->addWidget(numberLabel, 1, 0);
    frameLayout->addWidget(m_number, 1, 1);

    auto makeButton = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        // Enter in an edit box must not save and close the book.
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *add = makeButton("btnAdd", QStringLiteral("追加"));
    QPushButton *insert = makeButton("btnIn", QStringLiteral("挿入"));
    QPushButton *remove = makeButton("btnDel", QStringLiteral("削除"));
    QPushButton *import = makeButton("btnImport", QStringLiteral("ｲﾝﾎﾟｰﾄ"));
    QPushButton *ok = makeButton("btnOk", QStringLiteral("保存"));
    QPushButton *cancel = makeButton("btnCancel", QStringLiteral("ｷｬﾝｾﾙ"));
    connect(add, &QPushButton::clicked, this, &frmEditAdd::btnAdd_Click);
    connect(insert, &QPushButton::clicked, this, &frmEditAdd::btnIn_Click);
    connect(remove, &QPushButton::clicked, this, &frmEditAdd::btnDel_Click);
    connect(import, &QPushButton::clicked, this, &frmEditAdd::btnImport_Click);
    connect(ok, &QPushButton::clicked, this, &frmEditAdd::btnOk_Click);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {add, insert, remove, import})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_showing || !current.isValid())
                    return;
                m_book.setCurrent(current.row());
                showCurrentRow();
            });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { MSFlexGrid1_DblClick(row); });
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_book.setName(text);
        m_grid->item(m_book.current(), NameColumn)->setText(text);
    });
    connect(m_number, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_book.setNumber(text);
        m_grid->item(m_book.current(), NumberColumn)->setText(text);
    });
    m_name->installEventFilter(this);
    m_number->installEventFilter(this);

    QList<AddressRecord> records;
    m_loadMessage = loadBook(m_location, records);
    m_book.load(records);
    showBook();
    showCurrentRow();
}

void frmEditAdd::showBook()
{
    m_showing = true;
    m_grid->setRowCount(m_book.rowCount());
    for (int r = 0; r < m_book.rowCount(); ++r) {
        m_grid->setItem(r, FixedColumn, cell(QStringLiteral(" ")));
        m_grid->setItem(r, NameColumn, cell(m_book.row(r).name));
        m_grid->setItem(r, NumberColumn, cell(m_book.row(r).number));
    }
    selectRow(m_book.current());
    m_grid->verticalScrollBar()->setValue(m_book.topRow());
    m_showing = false;
}

void frmEditAdd::selectRow(int row)
{
    m_grid->setCurrentCell(row, NameColumn);
    m_grid->selectionModel()->select(
        QItemSelection(m_grid->model()->index(row, NameColumn), m_grid->model()->index(row, NumberColumn)),
        QItemSelectionModel::ClearAndSelect);
}

void frmEditAdd::showCurrentRow()
{
    const AddressRecord &r = m_book.row(m_book.current());
    m_name->setText(r.name);
    m_number->setText(r.number);
}

bool frmEditAdd::eventFilter(QObject *watched, QEvent *event)
{
    // Focus entering an edit box selects its whole text (after the click
    // that gave the focus has placed the cursor).
    if (event->type() == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void frmEditAdd::btnAdd_Click()
{
    m_book.add();
    showBook();
    showCurrentRow();
    m_name->setFocus();
}

void frmEditAdd::btnIn_Click()
{
    m_book.insert();
    showBook();
    showCurrentRow();
    m_name->setFocus();
}

void frmEditAdd::btnDel_Click()
{
    m_book.remove();
    showBook();
    showCurrentRow();
    m_grid->setFocus();
}

void frmEditAdd::btnImport_Click()
{
    const QString path = m_dialogs.openFile(QStringLiteral("ファイルを開く"), QStringLiteral("vCard (*.vcf)"));
    if (path.isEmpty())
        return;
    // A large file takes a moment: the loading notice is up meanwhile.
    frmRun notice(this);
    notice.show();
    notice.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    VCardRecords read;
    BookMessage message = readVCardFile(path, read);
    if (message.ok() && !m_book.importRecords(read.records))
        message = {BookCode::BookFull, path, MaxBookRecords};
    if (message.ok()) {
        showBook();
        showCurrentRow();
    }
    notice.hide();
    if (!message.ok())
        showMessage(m_dialogs, message);
}

bool frmEditAdd::save()
{
    m_book.sort();
    showBook();
    showCurrentRow();
    const QList<AddressRecord> records = m_book.recordsToSave();
    // Nothing typed or imported is lost without the user's word.
    if (const int lost = charactersLostInFile(records); lost > 0) {
        const BookMessage question{BookCode::Unencodable, m_location.userFile, lost};
        if (m_dialogs.message(question.title(), question.text(), question.icon(), MessageButtons::YesNo)
            != Answer::Yes)
            return false;
    }
    const BookMessage message = saveBook(m_location, records);
    if (!message.ok()) {
        showMessage(m_dialogs, message);
        return false;
    }
    m_book.markSaved();
    return true;
}

void frmEditAdd::btnOk_Click()
{
    if (save())
        close();
}

void frmEditAdd::MSFlexGrid1_DblClick(int row)
{
    if (row < 0 || row >= m_book.rowCount())
        return;
    if (m_pickNumber)
        m_pickNumber(editorNumber(m_book.row(row).number));
    close();
}

bool frmEditAdd::mayClose()
{
    if (m_closeAllowed || !m_book.changed())
        return true;
    const Answer answer = m_dialogs.message(QStringLiteral("確認"),
                                            QStringLiteral("電話帳データが更新されています。\n保存しますか？"),
                                            MessageIcon::Warning, MessageButtons::YesNoCancel);
    switch (answer) {
    case Answer::Yes: return save();
    case Answer::No: return true;
    default: return false;
    }
}

void frmEditAdd::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_closeAllowed = true;
    QDialog::closeEvent(event);
}

void frmEditAdd::reject()
{
    if (!mayClose())
        return;
    m_closeAllowed = true;
    QDialog::reject();
}

} // namespace skedra
