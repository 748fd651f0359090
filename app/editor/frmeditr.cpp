#include "frmeditr.h"

#include "frmeditadd.h"
#include "nullablepicker.h"
#include "pngpicture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace skedra {

namespace {

// The preview in pixels; the model places it in twips (15 to a pixel at
// 96 dpi).
constexpr int TwipsPerPixel = 15;
constexpr int PreviewWidth = 120;
constexpr int PreviewLeft = 15;
constexpr int PreviewFrameWidth = PreviewWidth + 2 * PreviewLeft;
constexpr int PreviewFrameHeight = 230;

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *label(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    return l;
}

void setChecked(QAbstractButton *b, bool on)
{
    const QSignalBlocker block(b);
    b->setChecked(on);
}

void showList(QComboBox *box, const ListChoice &choice)
{
    const QSignalBlocker block(box);
    if (box->count() != choice.items.size()) {
        box->clear();
        box->addItems(choice.items);
    }
    box->setCurrentIndex(choice.index < box->count() ? choice.index : -1);
}

void showText(QLineEdit *line, const QString &text)
{
    if (line->text() == text)
        return;
    const QSignalBlocker block(line);
    line->setText(text);
}

QWidget *row(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget *c : widgets) {
        c->setParent(w);
        l->addWidget(c);
    }
    l->addStretch(1);
    return w;
}

} // namespace

frmEditR::frmEditR(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                   const SoundCatalogue &catalogue, std::function<QDate()> today, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_model(state, grid, dialogs, hooks, catalogue, std::move(today))
{
    setObjectName(QStringLiteral("frmEditR"));
    setWindowTitle(QStringLiteral("予定の編集"));
    build();
    m_model.Form_Load();
    showForm();
    m_txtSummary->setFocus();  // the summary first, its text selected
}

QRadioButton *frmEditR::option(const char *name, const QString &caption,
                               std::function<void()> onClick)
{
    auto *b = named(new QRadioButton(caption, this), name);
    // The model decides what is selected, none included.
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::clicked, this, [this, onClick] {
        onClick();
        afterHandler();
    });
    return b;
}

QComboBox *frmEditR::list(const char *name)
{
    auto *box = named(new QComboBox(this), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

void frmEditR::build()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildGeneral());
    layout->addWidget(buildRepeat());

    m_tabStrip = named(new QTabBar(this), "TabStrip1");
    m_tabStrip->addTab(QStringLiteral("ｱﾗｰﾑ設定"));
    m_tabStrip->addTab(QStringLiteral("ｵﾌﾟｼｮﾝ設定"));
    m_tabStrip->setTabData(0, QStringLiteral("tabArarm"));
    m_tabStrip->setTabData(1, QStringLiteral("tabOption"));
    m_tabStrip->setExpanding(false);
    // A click or a key that changes the tab.
    connect(m_tabStrip, &QTabBar::currentChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_model.TabStrip1_Click(index + 1);
        afterHandler();
    });
    layout->addWidget(m_tabStrip);
    m_pages = {buildAlarmPage(), buildOptionPage()};
    // Both pages take the room of the larger, so switching tabs keeps the
    // dialog's size.
    int height = 0;
    for (QWidget *page : m_pages)
        height = qMax(height, page->sizeHint().height());
    for (QWidget *page : m_pages) {
        page->setMinimumHeight(height);
        layout->addWidget(page);
    }

    auto *cmdBack = named(new QPushButton(QStringLiteral("<< Back"), this), "Command7");
    auto *cmdNext = named(new QPushButton(QStringLiteral("Next >>"), this), "Command6");
    auto *cmdOk = named(new QPushButton(QStringLiteral("OK"), this), "cmdOk");
    auto *cmdCancel = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "cmdCancel");
    cmdOk->setDefault(true);
    connect(cmdBack, &QPushButton::clicked, this, [this] { move(-1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { move(+1); });
    connect(cmdOk, &QPushButton::clicked, this, &frmEditR::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    layout->addStretch(1);
    layout->addLayout(buttons);
}

QWidget *frmEditR::buildGeneral()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    m_optEvent = option("optEvent", QStringLiteral("ｽｹｼﾞｭｰﾙ"), [this] { m_model.optEvent_Click(Kind::Event); });
    m_optTodo = option("optTodo", QStringLiteral("ｱｸｼｮﾝｱｲﾃﾑ"), [this] { m_model.optEvent_Click(Kind::Todo); });
    grid->addWidget(label(QStringLiteral("種別"), box), 0, 0);
    grid->addWidget(row(box, {m_optEvent, m_optTodo}), 0, 1, 1, 3);

    m_txtSummary = named(new QComboBox(box), "txtSummary");
    m_txtSummary->setEditable(true);
    m_txtSummary->setInsertPolicy(QComboBox::NoInsert);
    m_txtSummary->setMinimumWidth(260);
    connect(m_txtSummary, &QComboBox::editTextChanged, this,
            [this](const QString &text) { m_model.form.summary = text; });
    grid->addWidget(label(QStringLiteral("件名"), box), 1, 0);
    grid->addWidget(m_txtSummary, 1, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("(半角16文字まで)"), box), 1, 3);

    m_txtDescription = named(new QPlainTextEdit(box), "txtDescription");
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setFixedHeight(m_txtDescription->fontMetrics().lineSpacing() * 3 + 12);
    connect(m_txtDescription, &QPlainTextEdit::textChanged, this,
            [this] { m_model.form.description = m_txtDescription->toPlainText(); });
    grid->addWidget(label(QStringLiteral("内容"), box), 2, 0, Qt::AlignTop);
    grid->addWidget(m_txtDescription, 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("(半角128文字まで)"), box), 2, 3, Qt::AlignTop);

    m_lblStart = label(QString(), box, "lblStart");
    m_dtpFrDate = named(new QDateEdit(box), "dtpFrDate");
    m_dtpFrDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_dtpFrDate->setCalendarPopup(true);
    m_dtpFrDate->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));
    m_dtpFrTime = named(new QTimeEdit(box), "dtpFrTime");
    m_dtpFrTime->setDisplayFormat(QStringLiteral("HH:mm"));
    connect(m_dtpFrDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_model.dtpFrDate_Change(d);
        afterHandler();
    });
    connect(m_dtpFrTime, &QTimeEdit::timeChanged, this, [this](const QTime &t) {
        m_model.dtpFrTime_Change(t);
        afterHandler();
    });
    grid->addWidget(m_lblStart, 3, 0);
    grid->addWidget(row(box, {m_dtpFrDate, m_dtpFrTime}), 3, 1, 1, 3);

    m_lblEnd = label(QString(), box, "lblEnd");
    m_dtpToDate = new NullablePicker(NullablePicker::Mode::Date, QStringLiteral("dtpToDate"), box);
    m_dtpToTime = new NullablePicker(NullablePicker::Mode::Time, QStringLiteral("dtpToTime"), box);
    connect(m_dtpToDate, &NullablePicker::edited, this, [this] {
        m_model.dtpToDate_Change({m_dtpToDate->date(), m_dtpToDate->isEmpty()});
        afterHandler();
    });
    connect(m_dtpToTime, &NullablePicker::edited, this, [this] {
        m_model.dtpToTime_Change({m_dtpToTime->time(), m_dtpToTime->isEmpty()});
        afterHandler();
    });
    grid->addWidget(m_lblEnd, 4, 0);
    grid->addWidget(row(box, {m_dtpToDate, m_dtpToTime}), 4, 1, 1, 3);
    grid->setColumnStretch(2, 1);

    for (QWidget *w : {static_cast<QWidget *>(m_dtpFrDate), static_cast<QWidget *>(m_dtpFrTime)})
        w->setAttribute(Qt::WA_InputMethodEnabled, false);
    selectAllOnFocus(m_txtSummary->lineEdit());
    selectAllOnFocus(m_txtDescription);
    return box;
}

QWidget *frmEditR::buildRepeat()
{
    auto *box = new QGroupBox(QStringLiteral("繰り返し"), this);
    auto *v = new QVBoxLayout(box);
    const std::array<std::pair<const char *, QString>, 5> types = {{
        {"optOnly", QStringLiteral("なし")}, {"optDay", QStringLiteral("毎日")},
        {"optWeek", QStringLiteral("毎週")}, {"optMonth", QStringLiteral("毎月")},
        {"optYear", QStringLiteral("毎年")},
    }};
    const std::array<Repeat, 5> repeats = {Repeat::Only, Repeat::Day, Repeat::Week, Repeat::Month,
                                           Repeat::Year};
    auto *typeRow = new QHBoxLayout;
    for (size_t i = 0; i < types.size(); ++i) {
        m_repeat[i] = option(types[i].first, types[i].second,
                             [this, r = repeats[i]] { m_model.selectRepeat(r); });
        typeRow->addWidget(m_repeat[i]);
    }
    typeRow->addStretch(1);
    v->addLayout(typeRow);

    const std::array<std::pair<const char *, QString>, 7> days = {{
        {"optSun", QStringLiteral("日")}, {"optMon", QStringLiteral("月")},
        {"optTue", QStringLiteral("火")}, {"optWed", QStringLiteral("水")},
        {"optThu", QStringLiteral("木")}, {"optFri", QStringLiteral("金")},
        {"optSat", QStringLiteral("土")},
    }};
    auto *dayRow = new QHBoxLayout;
    m_label21 = label(QStringLiteral("曜日"), box, "Label21");
    dayRow->addWidget(m_label21);
    for (size_t i = 0; i < days.size(); ++i) {
        m_weekday[i] = option(days[i].first, days[i].second,
                              [this, d = static_cast<int>(i) + 1] { m_model.selectWeekday(d); });
        dayRow->addWidget(m_weekday[i]);
    }
    dayRow->addStretch(1);
    v->addLayout(dayRow);

    auto *loopRow = new QHBoxLayout;
    m_label22 = label(QStringLiteral("繰返"), box, "Label22");
    m_txtLoop = named(new QLineEdit(box), "txtLoop");
    m_txtLoop->setMaxLength(3);
    m_txtLoop->setFixedWidth(m_txtLoop->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    m_txtLoop->setAlignment(Qt::AlignRight);
    connect(m_txtLoop, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_model.txtLoop_Change(text);
        afterHandler();
    });
    selectAllOnFocus(m_txtLoop);
    m_updLoop = spinButtons(box, "updLoop", [this](int step) {
        m_model.txtLoop_Change(QString::number(qBound(0, m_model.loopCount() + step, 99)));
    });
    m_label23 = label(QStringLiteral("回　(0～99 0:制限無)"), box, "Label23");
    loopRow->addWidget(m_label22);
    loopRow->addWidget(m_txtLoop);
    loopRow->addWidget(m_updLoop);
    loopRow->addWidget(m_label23);
    loopRow->addStretch(1);
    v->addLayout(loopRow);
    return box;
}

// Up and down arrows beside a number field; each click runs `onStep` with +1 or -1.
QWidget *frmEditR::spinButtons(QWidget *parent, const char *name, std::function<void(int)> onStep)
{
    auto *w = named(new QWidget(parent), name);
    auto *spin = new QVBoxLayout(w);
    spin->setContentsMargins(0, 0, 0, 0);
    spin->setSpacing(0);
    for (const auto &[arrow, step] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto *b = new QToolButton(w);
        b->setArrowType(arrow);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        spin->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, onStep, step = step] {
            onStep(step);
            afterHandler();
        });
    }
    return w;
}

QLineEdit *frmEditR::numberField(QWidget *parent, const char *name, int digits)
{
    auto *line = named(new QLineEdit(parent), name);
    line->setMaxLength(digits);
    line->setValidator(new QIntValidator(0, 999, line));
    line->setAlignment(Qt::AlignRight);
    line->setFixedWidth(line->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    return line;
}

QWidget *frmEditR::buildAlarmPage()
{
    auto *page = named(new QGroupBox(this), "fraArarm");
    auto *grid = new QGridLayout(page);
    AlarmFields &a = m_model.form.alarm;
    AlarmControls &c = m_alarm;
    auto afterEdit = [this](QLineEdit *line, std::function<void(const QString &)> set) {
        connect(line, &QLineEdit::textEdited, this, std::move(set));
    };

    c.optArarmOn = option("optArarmOn", QStringLiteral("ON"), [this] { m_model.optArarm_Click(Pair::On); });
    c.optArarmOff = option("optArarmOff", QStringLiteral("OFF"), [this] { m_model.optArarm_Click(Pair::Off); });
    grid->addWidget(label(QStringLiteral("ｱﾗｰﾑ"), page), 0, 0);
    grid->addWidget(row(page, {c.optArarmOn, c.optArarmOff}), 0, 1);

    c.dtpArDate = named(new QDateEdit(page), "dtpArDate");
    c.dtpArDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    c.dtpArDate->setCalendarPopup(true);
    c.dtpArDate->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));
    c.dtpArTime = named(new QTimeEdit(page), "dtpArTime");
    c.dtpArTime->setDisplayFormat(QStringLiteral("HH:mm"));
    connect(c.dtpArDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_model.dtpArDate_Change(d);
        afterHandler();
        applyFocus();
    });
    connect(c.dtpArTime, &QTimeEdit::timeChanged, this, [&a](const QTime &t) { a.time = t; });
    grid->addWidget(label(QStringLiteral("日　時"), page), 1, 0);
    grid->addWidget(row(page, {c.dtpArDate, c.dtpArTime}), 1, 1);

    c.txtArMessage = named(new QLineEdit(page), "txtArMessage");
    c.txtArMessage->setMaxLength(120);
    afterEdit(c.txtArMessage, [&a](const QString &text) { a.message = text; });
    selectAllOnFocus(c.txtArMessage);
    grid->addWidget(label(QStringLiteral("ﾒｯｾｰｼﾞ"), page), 2, 0);
    grid->addWidget(row(page, {c.txtArMessage, label(QStringLiteral("(半角120文字まで)"), page)}), 2, 1);

    m_txtArTel = c.txtArTel = named(new QLineEdit(page), "txtArTel");
    m_txtArTel->setMinimumWidth(200);
    afterEdit(m_txtArTel, [&a](const QString &text) { a.tel = text; });
    selectAllOnFocus(m_txtArTel);
    auto *command1 = named(new QPushButton(QStringLiteral("電話帳"), page), "Command1");
    connect(command1, &QPushButton::clicked, this, &frmEditR::Command1_Click);
    grid->addWidget(label(QStringLiteral("電話番号"), page), 3, 0);
    grid->addWidget(row(page, {m_txtArTel, command1}), 3, 1);

    c.optRing0 = option("optRing0", QStringLiteral("固定ﾊﾟﾀｰﾝ"), [this] { m_model.optRing_Click(Ring::Melody); });
    c.Label18 = label(QStringLiteral("ﾒﾛﾃﾞｨ"), page, "Label18");
    c.cmbRing0 = list("cmbRing0");
    connect(c.cmbRing0, &QComboBox::activated, this, [&a](int i) { a.melody = i; });
    c.optRing2 = option("optRing2", QStringLiteral("ﾃﾞｰﾀﾌｫﾙﾀﾞ"), [this] { m_model.optRing_Click(Ring::Folder); });
    c.txtRing2 = named(new QLineEdit(page), "txtRing2");
    afterEdit(c.txtRing2, [&a](const QString &text) { a.ringFile = text; });
    c.btnRing = named(new QPushButton(QStringLiteral("参照..."), page), "btnRing");
    connect(c.btnRing, &QPushButton::clicked, this, &frmEditR::btnRing_Click);
    const std::array<QString, SoundFolderCount> folders = {
        QStringLiteral("ﾐｭｰｼﾞｯｸ"), QStringLiteral("ｵｰﾃﾞｨｵ"), QStringLiteral("ﾎﾞｲｽ")};
    for (int i = 0; i < SoundFolderCount; ++i) {
        c.opt_folder[static_cast<size_t>(i)] = option("opt_folder", folders[static_cast<size_t>(i)],
                                                      [this, i] { m_model.opt_folder_Click(i); });
        c.opt_folder[static_cast<size_t>(i)]->setProperty("index", i);
    }
    grid->addWidget(label(QStringLiteral("鳴動"), page), 4, 0);
    grid->addWidget(row(page, {c.optRing0, c.Label18, c.cmbRing0}), 4, 1);
    grid->addWidget(row(page, {c.optRing2, c.txtRing2, c.btnRing}), 5, 1);
    grid->addWidget(row(page, {c.opt_folder[0], c.opt_folder[1], c.opt_folder[2]}), 6, 1);

    c.cmbArmVol = list("cmbArmVol");
    connect(c.cmbArmVol, &QComboBox::activated, this, [&a](int i) { a.volume = i; });
    c.optVivOn = option("optVivOn", QStringLiteral("ON"), [&a] { a.vibration = Pair::On; });
    c.optVivOff = option("optVivOff", QStringLiteral("OFF"), [&a] { a.vibration = Pair::Off; });
    grid->addWidget(label(QStringLiteral("音 量"), page), 7, 0);
    grid->addWidget(row(page, {c.cmbArmVol, label(QStringLiteral("バイブ"), page), c.optVivOn, c.optVivOff}), 7, 1);

    c.optArmTime = numberField(page, "optArmTime", 2);
    afterEdit(c.optArmTime, [&a](const QString &text) { a.seconds = text; });
    // The limits apply once the number is typed, so "15" can be typed through "1".
    connect(c.optArmTime, &QLineEdit::editingFinished, this, [this] {
        m_model.optArmTime_Change(m_alarm.optArmTime->text());
        afterHandler();
    });
    selectAllOnFocus(c.optArmTime);
    c.updArTime = spinButtons(page, "updArTime", [this, &a](int step) {
        m_model.optArmTime_Change(QString::number(a.seconds.toInt() + step));
    });
    c.Label34 = label(QStringLiteral("秒"), page, "Label34");
    grid->addWidget(label(QStringLiteral("時 間"), page), 8, 0);
    grid->addWidget(row(page, {c.optArmTime, c.updArTime, c.Label34}), 8, 1);

    c.optRmpMobile = option("optRmpMobile", QStringLiteral("ﾓﾊﾞｲﾙﾗｲﾄ"), [this] { m_model.optRmp_Click(Lamp::Mobile); });
    c.cmbRmp1 = list("cmbRmp1");
    connect(c.cmbRmp1, &QComboBox::activated, this, [&a](int i) { a.largePattern = i; });
    c.cmbRmp2 = list("cmbRmp2");
    connect(c.cmbRmp2, &QComboBox::activated, this, [&a](int i) { a.largeColour = i; });
    c.optRmpSmall = option("optRmpSmall", QStringLiteral("ｽﾓｰﾙﾗｲﾄ"), [this] { m_model.optRmp_Click(Lamp::Small); });
    c.cmbRmp3 = list("cmbRmp3");
    connect(c.cmbRmp3, &QComboBox::activated, this, [&a](int i) { a.smallPattern = i; });
    c.optRmpOff = option("optRmpOff", QStringLiteral("OFF"), [this] { m_model.optRmp_Click(Lamp::Off); });
    grid->addWidget(label(QStringLiteral("ﾗｲﾄ"), page), 9, 0);
    grid->addWidget(row(page, {c.optRmpMobile, label(QStringLiteral("点滅"), page), c.cmbRmp1,
                               label(QStringLiteral("カラー"), page), c.cmbRmp2}), 9, 1);
    grid->addWidget(row(page, {c.optRmpSmall, c.cmbRmp3, c.optRmpOff}), 10, 1);

    c.optPreArarmOn = option("optPreArarmOn", QStringLiteral("ON"), [this] { m_model.optPreArarm_Click(Pair::On); });
    c.optPreArarmOff = option("optPreArarmOff", QStringLiteral("OFF"), [this] { m_model.optPreArarm_Click(Pair::Off); });
    c.txtPreArarm = numberField(page, "txtPreArarm", 2);
    afterEdit(c.txtPreArarm, [&a](const QString &text) { a.preCount = text; });
    c.updPreArarm = spinButtons(page, "updPreArarm", [this, &a](int step) {
        a.preCount = QString::number(a.preCount.toInt() + step);
        m_model.txtPreArarm_LostFocus();
    });
    c.Label31 = label(QStringLiteral("単位"), page, "Label31");
    c.cmbPreArarm = list("cmbPreArarm");
    connect(c.cmbPreArarm, &QComboBox::activated, this, [this](int i) {
        m_model.cmbPreArarm_Click(i);
        afterHandler();
    });
    c.Label32 = label(QString(), page, "Label32");
    grid->addWidget(label(QStringLiteral("予　告"), page), 11, 0);
    grid->addWidget(row(page, {c.optPreArarmOn, c.optPreArarmOff, c.txtPreArarm, c.updPreArarm,
                               c.Label31, c.cmbPreArarm, c.Label32}), 11, 1);

    c.optSnoozeOn = option("optSnoozeOn", QStringLiteral("ON"), [this] { m_model.optSnooze_Click(Pair::On); });
    c.optSnoozeOff = option("optSnoozeOff", QStringLiteral("OFF"), [this] { m_model.optSnooze_Click(Pair::Off); });
    c.txtSnooze = numberField(page, "txtSnooze", 2);
    afterEdit(c.txtSnooze, [&a](const QString &text) { a.snoozeCount = text; });
    c.updSnooze = spinButtons(page, "updSnooze", [this, &a](int step) {
        a.snoozeCount = QString::number(a.snoozeCount.toInt() + step);
        m_model.txtSnooze_LostFocus();
    });
    c.Label35 = label(QStringLiteral("分(2～20)"), page, "Label35");
    grid->addWidget(label(QStringLiteral("ｽﾇｰｽﾞ"), page), 12, 0);
    grid->addWidget(row(page, {c.optSnoozeOn, c.optSnoozeOff, c.txtSnooze, c.updSnooze, c.Label35}), 12, 1);
    for (QLineEdit *line : {c.txtPreArarm, c.txtSnooze})
        line->installEventFilter(this);

    grid->setColumnStretch(2, 1);
    return page;
}

QWidget *frmEditR::buildOptionPage()
{
    auto *page = named(new QGroupBox(this), "fraOption");
    auto *grid = new QGridLayout(page);
    EditorForm &f = m_model.form;

    m_optSecretOn = option("optSecretOn", QStringLiteral("ON"), [&f] { f.secret = Pair::On; });
    m_optSecretOff = option("optSecretOff", QStringLiteral("OFF"), [&f] { f.secret = Pair::Off; });
    grid->addWidget(label(QStringLiteral("ｼｰｸﾚｯﾄ"), page), 0, 0);
    grid->addWidget(row(page, {m_optSecretOn, m_optSecretOff}), 0, 1);

    m_cmbCategories = list("cmbCategories");
    m_cmbPriority = list("cmbPriority");
    m_cmbDateColor = list("cmbDateColor");
    connect(m_cmbCategories, &QComboBox::activated, this, [&f](int i) { f.categories.index = i; });
    connect(m_cmbPriority, &QComboBox::activated, this, [&f](int i) { f.priority.index = i; });
    connect(m_cmbDateColor, &QComboBox::activated, this, [&f](int i) { f.dateColour.index = i; });
    m_cmbCategories->setMaxVisibleItems(20);
    grid->addWidget(label(QStringLiteral("ｽﾀﾝﾌﾟ"), page), 1, 0);
    grid->addWidget(row(page, {m_cmbCategories}), 1, 1);
    grid->addWidget(label(QStringLiteral("優先度"), page), 2, 0);
    grid->addWidget(row(page, {m_cmbPriority}), 2, 1);

    m_optNeeds = option("optNeeds", QStringLiteral("予定"), [&f] { f.status = TaskStatus::Needs; });
    m_optComp = option("optComp", QStringLiteral("完了"), [&f] { f.status = TaskStatus::Comp; });
    grid->addWidget(label(QStringLiteral("状態"), page), 3, 0);
    grid->addWidget(row(page, {m_optNeeds, m_optComp}), 3, 1);

    m_optAutoDelOn = option("optAutoDelOn", QStringLiteral("ON"), [&f] { f.autoDelete = Pair::On; });
    m_optAutoDelOff = option("optAutoDelOff", QStringLiteral("OFF"), [&f] { f.autoDelete = Pair::Off; });
    grid->addWidget(label(QStringLiteral("自動削除保護"), page), 0, 2);
    grid->addWidget(row(page, {m_optAutoDelOn, m_optAutoDelOff}), 0, 3);

    m_optDifpDefOn = option("optDifpDefOn", QStringLiteral("ON"), [&f] { f.standby = Pair::On; });
    m_optDifpDefOff = option("optDifpDefOff", QStringLiteral("OFF"), [&f] { f.standby = Pair::Off; });
    grid->addWidget(label(QStringLiteral("待受表示"), page), 1, 2);
    grid->addWidget(row(page, {m_optDifpDefOn, m_optDifpDefOff}), 1, 3);

    grid->addWidget(label(QStringLiteral("日付色"), page), 2, 2);
    grid->addWidget(row(page, {m_cmbDateColor}), 2, 3);

    PictureFields &p = f.picture;
    m_optPicOn = option("optPicOn", QStringLiteral("ON"), [this] { m_model.optPic_Click(Pair::On); });
    m_optPicOff = option("optPicOff", QStringLiteral("OFF"), [this] { m_model.optPic_Click(Pair::Off); });
    m_txtPic = named(new QLineEdit(page), "txtPic");
    connect(m_txtPic, &QLineEdit::textEdited, this, [&p](const QString &text) { p.file = text; });
    selectAllOnFocus(m_txtPic);
    m_btnPic = named(new QPushButton(QStringLiteral("参照..."), page), "btnPic");
    connect(m_btnPic, &QPushButton::clicked, this, &frmEditR::btnPic_Click);
    m_label33 = label(QStringLiteral("(JPG/PNGのみ対応)"), page, "Label33");
    m_txtPic->setMinimumWidth(170);
    auto *picture = new QWidget(page);
    auto *column = new QVBoxLayout(picture);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(row(picture, {m_optPicOn, m_optPicOff}));
    column->addWidget(row(picture, {m_txtPic, m_btnPic}));
    column->addWidget(m_label33);
    column->addStretch(1);
    grid->addWidget(label(QStringLiteral("ﾋﾟｸﾁｬｰﾒﾓ"), page), 4, 0, Qt::AlignTop);
    grid->addWidget(picture, 4, 1);

    // Image1 keeps its width; its height and top follow the picture.
    m_frame1 = named(new QGroupBox(QStringLiteral(" ﾌﾟﾚﾋﾞｭｰ "), page), "Frame1");
    m_frame1->setFixedSize(PreviewFrameWidth, PreviewFrameHeight);
    m_image1 = named(new QLabel(m_frame1), "Image1");
    m_image1->setScaledContents(true);
    m_image1->hide();
    grid->addWidget(m_frame1, 4, 2, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return page;
}

void frmEditR::selectAllOnFocus(QWidget *w)
{
    w->installEventFilter(this);
}

bool frmEditR::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == m_alarm.txtPreArarm) {
        m_model.txtPreArarm_LostFocus();
        afterHandler();
    } else if (event->type() == QEvent::FocusOut && watched == m_alarm.txtSnooze) {
        m_model.txtSnooze_LostFocus();
        afterHandler();
    }
    if (event->type() == QEvent::FocusIn) {
        // The whole text is selected, after the click that gave the focus.
        QTimer::singleShot(0, this, [w = QPointer<QObject>(watched)] {
            if (auto *line = qobject_cast<QLineEdit *>(w.data()))
                line->selectAll();
            else if (auto *text = qobject_cast<QPlainTextEdit *>(w.data()))
                text->selectAll();
        });
    }
    return QDialog::eventFilter(watched, event);
}

void frmEditR::afterHandler()
{
    showForm();
}

void frmEditR::showForm()
{
    const EditorForm &f = m_model.form;
    setChecked(m_optEvent, f.kind == Kind::Event);
    setChecked(m_optTodo, f.kind == Kind::Todo);
    m_lblStart->setText(f.lblStart);
    m_lblEnd->setText(f.lblEnd);

    {
        const QSignalBlocker block(m_txtSummary);
        if (m_txtSummary->count() != f.summaryHistory.items.size()) {
            m_txtSummary->clear();
            m_txtSummary->addItems(f.summaryHistory.items);
        }
        if (m_txtSummary->currentText() != f.summary)
            m_txtSummary->setEditText(f.summary);
    }
    {
        const QSignalBlocker block(m_txtDescription);
        if (m_txtDescription->toPlainText() != f.description)
            m_txtDescription->setPlainText(f.description);
    }
    {
        const QSignalBlocker a(m_dtpFrDate), b(m_dtpFrTime);
        m_dtpFrDate->setDate(f.frDate);
        m_dtpFrTime->setTime(f.frTime);
    }
    m_dtpToDate->setDate(f.toDate.value, f.toDate.empty);
    m_dtpToTime->setTime(f.toTime.value, f.toTime.empty);
    m_dtpToDate->setEnabled(f.toDateEnabled);

    const std::array<Repeat, 5> repeats = {Repeat::Only, Repeat::Day, Repeat::Week, Repeat::Month,
                                           Repeat::Year};
    for (size_t i = 0; i < repeats.size(); ++i)
        setChecked(m_repeat[i], f.repeat == repeats[i]);
    m_label21->setEnabled(f.weekdaysEnabled);
    for (size_t i = 0; i < m_weekday.size(); ++i) {
        setChecked(m_weekday[i], f.weekday == static_cast<int>(i) + 1);
        m_weekday[i]->setEnabled(f.weekdaysEnabled);
    }
    for (QWidget *w : {static_cast<QWidget *>(m_label22), static_cast<QWidget *>(m_txtLoop),
                       m_updLoop, static_cast<QWidget *>(m_label23)})
        w->setEnabled(f.loopEnabled);
    if (m_txtLoop->text() != f.loop) {
        const QSignalBlocker block(m_txtLoop);
        m_txtLoop->setText(f.loop);
    }

    setChecked(m_optSecretOn, f.secret == Pair::On);
    setChecked(m_optSecretOff, f.secret == Pair::Off);
    showList(m_cmbCategories, f.categories);
    showList(m_cmbPriority, f.priority);
    showList(m_cmbDateColor, f.dateColour);
    setChecked(m_optNeeds, f.status == TaskStatus::Needs);
    setChecked(m_optComp, f.status == TaskStatus::Comp);
    setChecked(m_optAutoDelOn, f.autoDelete == Pair::On);
    setChecked(m_optAutoDelOff, f.autoDelete == Pair::Off);
    setChecked(m_optDifpDefOn, f.standby == Pair::On);
    setChecked(m_optDifpDefOff, f.standby == Pair::Off);
    showAlarm();
    showPicture();

    {
        const QSignalBlocker block(m_tabStrip);
        m_tabStrip->setCurrentIndex(f.CurrentTab - 1);
    }
    // Hide first, so the dialog never holds both pages at once.
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (static_cast<int>(i) + 1 != f.CurrentTab)
            m_pages[i]->hide();
    }
    m_pages[static_cast<size_t>(f.CurrentTab - 1)]->show();
}

void frmEditR::showAlarm()
{
    const AlarmFields &a = m_model.form.alarm;
    const AlarmControls &c = m_alarm;
    setChecked(c.optArarmOn, a.alarm == Pair::On);
    setChecked(c.optArarmOff, a.alarm == Pair::Off);
    {
        const QSignalBlocker d(c.dtpArDate), t(c.dtpArTime);
        c.dtpArDate->setDate(a.date);
        c.dtpArTime->setTime(a.time);
    }
    showText(c.txtArMessage, a.message);
    showText(c.txtArTel, a.tel);
    setChecked(c.optRing0, a.ring == Ring::Melody);
    setChecked(c.optRing2, a.ring == Ring::Folder);
    showList(c.cmbRing0, {a.melodies, a.melody});
    showText(c.txtRing2, a.ringFile);
    for (int i = 0; i < SoundFolderCount; ++i)
        setChecked(c.opt_folder[static_cast<size_t>(i)], a.folder == i);
    showList(c.cmbArmVol, {volumeNames(), a.volume});
    setChecked(c.optVivOn, a.vibration == Pair::On);
    setChecked(c.optVivOff, a.vibration == Pair::Off);
    showText(c.optArmTime, a.seconds);
    setChecked(c.optRmpMobile, a.lamp == Lamp::Mobile);
    setChecked(c.optRmpSmall, a.lamp == Lamp::Small);
    setChecked(c.optRmpOff, a.lamp == Lamp::Off);
    showList(c.cmbRmp1, {a.lampPatterns, a.largePattern});
    showList(c.cmbRmp2, {a.lampColours, a.largeColour});
    showList(c.cmbRmp3, {a.lampPatterns, a.smallPattern});
    setChecked(c.optPreArarmOn, a.preAlarm == Pair::On);
    setChecked(c.optPreArarmOff, a.preAlarm == Pair::Off);
    showList(c.cmbPreArarm, {preAlarmUnitNames(), a.preUnit});
    showText(c.txtPreArarm, a.preCount);
    c.Label32->setText(a.preRange);
    setChecked(c.optSnoozeOn, a.snooze == Pair::On);
    setChecked(c.optSnoozeOff, a.snooze == Pair::Off);
    showText(c.txtSnooze, a.snoozeCount);

    // The alarm off greys the group over each control's own state; the
    // telephone number stays.
    const bool on = a.alarm == Pair::On;
    auto enable = [on](std::initializer_list<QWidget *> widgets, bool own) {
        for (QWidget *w : widgets)
            w->setEnabled(on && own);
    };
    enable({c.dtpArDate, c.dtpArTime, c.txtArMessage, c.optRing0, c.optRing2, c.Label18, c.cmbArmVol,
            c.optVivOn, c.optVivOff, c.optArmTime, c.updArTime, c.Label34, c.optRmpMobile,
            c.optRmpSmall, c.optRmpOff, c.optPreArarmOn, c.optPreArarmOff, c.optSnoozeOn,
            c.optSnoozeOff},
           true);
    enable({c.cmbRing0}, a.melodyEnabled);
    enable({c.txtRing2, c.btnRing}, a.ringFileEnabled);
    for (int i = 0; i < SoundFolderCount; ++i)
        enable({c.opt_folder[static_cast<size_t>(i)]}, a.folderEnabled[static_cast<size_t>(i)]);
    enable({c.cmbRmp1, c.cmbRmp2}, a.largeLampEnabled);
    enable({c.cmbRmp3}, a.smallLampEnabled);
    enable({c.cmbPreArarm, c.Label31, c.txtPreArarm, c.updPreArarm, c.Label32}, a.preAlarmEnabled);
    enable({c.txtSnooze, c.updSnooze, c.Label35}, a.snoozeEnabled);
}

void frmEditR::showPicture()
{
    const PictureFields &p = m_model.form.picture;
    setChecked(m_optPicOn, p.attached == Pair::On);
    setChecked(m_optPicOff, p.attached == Pair::Off);
    showText(m_txtPic, p.file);
    m_txtPic->setEnabled(p.enabled);
    m_btnPic->setEnabled(p.enabled);
    if (p.preview == m_shownPicture)
        return;
    // A file that is missing or does not decode leaves the preview empty.
    m_shownPicture = p.preview;
    m_image1->hide();
    m_image1->clear();
    const QImage picture = loadPreviewPicture(p.preview);
    const PreviewPlace place = previewPlace(PreviewWidth * TwipsPerPixel, picture.width(), picture.height());
    if (place.height <= 0)
        return;
    m_image1->setGeometry(PreviewLeft, place.top / TwipsPerPixel, PreviewWidth,
                          place.height / TwipsPerPixel);
    m_image1->setPixmap(QPixmap::fromImage(picture));
    m_image1->show();
}

void frmEditR::btnPic_Click()
{
    m_model.choosePicture();
    afterHandler();
}

void frmEditR::btnRing_Click()
{
    m_model.chooseSoundFile();
    afterHandler();
}

void frmEditR::applyFocus()
{
    const QString &name = m_model.form.focus;
    if (name.isEmpty())
        return;
    auto *w = findChild<QWidget *>(name);
    if (!w)
        return;
    if (m_pages[0]->isAncestorOf(w) && m_model.form.CurrentTab != 1) {
        m_model.TabStrip1_Click(1);
        showForm();
    }
    w->setFocus();
}

// The number fields take their limits when the user leaves them; a store
// started while one still has the focus (Enter, a shortcut) applies them
// first, so no out-of-range number is stored.
void frmEditR::finishNumberFields()
{
    m_model.optArmTime_Change(m_alarm.optArmTime->text());
    m_model.txtPreArarm_LostFocus();
    m_model.txtSnooze_LostFocus();
    showForm();
}

void frmEditR::cmdOk_Click()
{
    finishNumberFields();
    if (m_model.cmdOk_Click()) {
        accept();
        return;
    }
    applyFocus();
}

void frmEditR::move(int step)
{
    finishNumberFields();
    if (step > 0)
        m_model.Command6_Click();
    else
        m_model.Command7_Click();
    showForm();
    applyFocus();
}

// The telephone book; a number picked there becomes the alarm's number.
void frmEditR::Command1_Click()
{
    openAddressList(m_state, m_dialogs, this, QStringLiteral("EditR"), m_txtArTel);
    m_model.form.alarm.tel = m_txtArTel->text();
}

} // namespace skedra
