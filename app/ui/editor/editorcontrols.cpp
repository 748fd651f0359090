#include "editorcontrols.h"

#include "frmeditadd.h"
#include "nullablepicker.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace skedra {

namespace {

const std::array<Repeat, 5> Repeats = {Repeat::Only, Repeat::Day, Repeat::Week, Repeat::Month,
                                       Repeat::Year};

// Keeps a caption's enabled state equal to its control's.
class EnabledFollower : public QObject {
public:
    EnabledFollower(QLabel *caption, QWidget *control) : QObject(caption), m_caption(caption)
    {
        m_caption->setEnabled(control->isEnabled());
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_caption->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
        return false;
    }

private:
    QLabel *m_caption;
};

} // namespace

QLabel *captionOf(const QString &text, QWidget *control)
{
    auto *caption = label(text, control->parentWidget());
    new EnabledFollower(caption, control);
    return caption;
}

QLabel *label(const QString &text, QWidget *parent, const char *name)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    return l;
}

namespace {

// One Tab stop per group: its selected option, or its first while none is.
void placeTabStop(const QButtonGroup *group)
{
    const QList<QAbstractButton *> options = group->buttons();
    QAbstractButton *stop = group->checkedButton();
    if (!stop && !options.isEmpty())
        stop = options.first();
    for (QAbstractButton *b : options)
        b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

void setChecked(QAbstractButton *b, bool on)
{
    const QSignalBlocker block(b);
    QButtonGroup *group = b->group();
    // A group keeps one option selected; the model may clear them all.
    const bool clearing = group && group->exclusive() && !on && b->isChecked();
    if (clearing)
        group->setExclusive(false);
    b->setChecked(on);
    if (clearing)
        group->setExclusive(true);
    if (group)
        placeTabStop(group);
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

EditorControls::EditorControls(QDialog *dialog, EditorModel &model, SessionState &state,
                               Dialogs &dialogs, std::function<void()> show,
                               std::function<void()> applyFocus)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_model(model)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_show(std::move(show))
    , m_applyFocus(std::move(applyFocus))
{
}

QRadioButton *EditorControls::option(const char *name, const QString &caption,
                                     std::function<void()> onClick)
{
    auto *b = named(new QRadioButton(caption, m_dialog), name);
    connect(b, &QRadioButton::clicked, this, [this, onClick] {
        onClick();
        m_show();
    });
    return b;
}

void EditorControls::group(const QList<QRadioButton *> &options)
{
    auto *g = new QButtonGroup(m_dialog);
    for (QRadioButton *b : options)
        g->addButton(b);
    placeTabStop(g);
}

QComboBox *EditorControls::list(const char *name)
{
    auto *box = named(new QComboBox(m_dialog), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QWidget *EditorControls::buildGeneral()
{
    auto *box = new QWidget(m_dialog);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    m_optEvent = option("optEvent", QStringLiteral("ｽｹｼﾞｭｰﾙ"), [this] { m_model.optEvent_Click(Kind::Event); });
    m_optTodo = option("optTodo", QStringLiteral("ｱｸｼｮﾝｱｲﾃﾑ"), [this] { m_model.optEvent_Click(Kind::Todo); });
    group({m_optEvent, m_optTodo});
    grid->addWidget(label(QStringLiteral("種別"), box), 0, 0);
    grid->addWidget(row(box, {m_optEvent, m_optTodo}), 0, 1, 1, 3);

    txtSummary = named(new QComboBox(box), "txtSummary");
    txtSummary->setEditable(true);
    txtSummary->setInsertPolicy(QComboBox::NoInsert);
    txtSummary->setMinimumWidth(260);
    connect(txtSummary, &QComboBox::editTextChanged, this,
            [this](const QString &text) { m_model.form.summary = text; });
    grid->addWidget(label(QStringLiteral("件名"), box), 1, 0);
    grid->addWidget(txtSummary, 1, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("(半角16文字まで)"), box), 1, 3);

    m_txtDescription = named(new QPlainTextEdit(box), "txtDescription");
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setFixedHeight(m_txtDescription->fontMetrics().lineSpacing() * 3 + 12);
    connect(m_txtDescription, &QPlainTextEdit::textChanged, this,
            [this] { m_model.txtDescription_Change(m_txtDescription->toPlainText()); });
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
        m_show();
    });
    connect(m_dtpFrTime, &QTimeEdit::timeChanged, this, [this](const QTime &t) {
        m_model.dtpFrTime_Change(t);
        m_show();
    });
    grid->addWidget(m_lblStart, 3, 0);
    grid->addWidget(row(box, {m_dtpFrDate, m_dtpFrTime}), 3, 1, 1, 3);

    m_lblEnd = label(QString(), box, "lblEnd");
    m_dtpToDate = new NullablePicker(NullablePicker::Mode::Date, QStringLiteral("dtpToDate"), box);
    m_dtpToTime = new NullablePicker(NullablePicker::Mode::Time, QStringLiteral("dtpToTime"), box);
    connect(m_dtpToDate, &NullablePicker::edited, this, [this] {
        m_model.dtpToDate_Change({m_dtpToDate->date(), m_dtpToDate->isEmpty()});
        m_show();
    });
    connect(m_dtpToTime, &NullablePicker::edited, this, [this] {
        m_model.dtpToTime_Change({m_dtpToTime->time(), m_dtpToTime->isEmpty()});
        m_show();
    });
    grid->addWidget(m_lblEnd, 4, 0);
    grid->addWidget(row(box, {m_dtpToDate, m_dtpToTime}), 4, 1, 1, 3);
    grid->setColumnStretch(2, 1);

    closeInputMethod(m_dtpFrDate);
    closeInputMethod(m_dtpFrTime);
    selectAllOnFocus(txtSummary->lineEdit());
    selectAllOnFocus(m_txtDescription);
    return box;
}


QWidget *EditorControls::buildRepeat()
{
    auto *box = new QGroupBox(QStringLiteral("繰り返し"), m_dialog);
    auto *v = new QVBoxLayout(box);
    const std::array<std::pair<const char *, QString>, 5> types = {{
        {"optOnly", QStringLiteral("なし")}, {"optDay", QStringLiteral("毎日")},
        {"optWeek", QStringLiteral("毎週")}, {"optMonth", QStringLiteral("毎月")},
        {"optYear", QStringLiteral("毎年")},
    }};
    auto *typeRow = new QHBoxLayout;
    for (size_t i = 0; i < types.size(); ++i) {
        m_repeat[i] = option(types[i].first, types[i].second,
                             [this, r = Repeats[i]] { m_model.selectRepeat(r); });
        typeRow->addWidget(m_repeat[i]);
    }
    group(QList<QRadioButton *>(m_repeat.begin(), m_repeat.end()));
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
    group(QList<QRadioButton *>(m_weekday.begin(), m_weekday.end()));
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
        m_show();
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


QWidget *EditorControls::spinButtons(QWidget *parent, const char *name, std::function<void(int)> onStep)
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
            m_show();
        });
    }
    return w;
}

QLineEdit *EditorControls::numberField(QWidget *parent, const char *name, int digits)
{
    auto *line = named(new QLineEdit(parent), name);
    // The user types at most `digits` digits; a longer number loaded from
    // the file is still shown whole.
    int highest = 1;
    for (int i = 0; i < digits; ++i)
        highest *= 10;
    line->setValidator(new QIntValidator(0, highest - 1, line));
    selectAllOnFocus(line);
    line->setAlignment(Qt::AlignRight);
    line->setFixedWidth(line->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    return line;
}


void EditorControls::buildOptions(QWidget *page, QGridLayout *grid)
{
    EditorForm &f = m_model.form;
    m_optSecretOn = option("optSecretOn", QStringLiteral("ON"), [&f] { f.secret = Pair::On; });
    m_optSecretOff = option("optSecretOff", QStringLiteral("OFF"), [&f] { f.secret = Pair::Off; });
    group({m_optSecretOn, m_optSecretOff});
    grid->addWidget(label(QStringLiteral("ｼｰｸﾚｯﾄ"), page), 0, 0);
    grid->addWidget(row(page, {m_optSecretOn, m_optSecretOff}), 0, 1);

    m_cmbCategories = list("cmbCategories");
    m_cmbPriority = list("cmbPriority");
    connect(m_cmbCategories, &QComboBox::activated, this, [&f](int i) { f.categories.index = i; });
    connect(m_cmbPriority, &QComboBox::activated, this, [&f](int i) { f.priority.index = i; });
    m_cmbCategories->setMaxVisibleItems(20);
    const bool stamps = m_model.profile().stamps;
    grid->addWidget(label(stamps ? QStringLiteral("ｽﾀﾝﾌﾟ") : QStringLiteral("ｶﾃｺﾞﾘ"), page), 1, 0);
    grid->addWidget(row(page, {m_cmbCategories}), 1, 1);
    grid->addWidget(label(QStringLiteral("優先度"), page), 2, 0);
    grid->addWidget(row(page, {m_cmbPriority}), 2, 1);

    m_optNeeds = option("optNeeds", QStringLiteral("予定"), [&f] { f.status = TaskStatus::Needs; });
    m_optComp = option("optComp", QStringLiteral("完了"), [&f] { f.status = TaskStatus::Comp; });
    group({m_optNeeds, m_optComp});
    grid->addWidget(label(QStringLiteral("状態"), page), 3, 0);
    grid->addWidget(row(page, {m_optNeeds, m_optComp}), 3, 1);
}

void EditorControls::buildAlarm(QGroupBox *page)
{
    auto *grid = new QGridLayout(page);
    const EditorProfile &profile = m_model.profile();
    AlarmFields &a = m_model.form.alarm;
    AlarmControls &c = alarm;
    auto afterEdit = [this](QLineEdit *line, std::function<void(const QString &)> set) {
        connect(line, &QLineEdit::textEdited, this, std::move(set));
    };
    int r = 0;
    auto addRow = [&](const QString &caption, QWidget *content) {
        if (!caption.isEmpty())
            grid->addWidget(label(caption, page), r, 0);
        grid->addWidget(content, r++, 1);
    };

    c.optArarmOn = option("optArarmOn", QStringLiteral("ON"), [this] { m_model.optArarm_Click(Pair::On); });
    c.optArarmOff = option("optArarmOff", QStringLiteral("OFF"), [this] { m_model.optArarm_Click(Pair::Off); });
    group({c.optArarmOn, c.optArarmOff});
    addRow(QStringLiteral("ｱﾗｰﾑ"), row(page, {c.optArarmOn, c.optArarmOff}));

    c.dtpArDate = named(new QDateEdit(page), "dtpArDate");
    c.dtpArDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    c.dtpArDate->setCalendarPopup(true);
    c.dtpArDate->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));
    c.dtpArTime = named(new QTimeEdit(page), "dtpArTime");
    c.dtpArTime->setDisplayFormat(QStringLiteral("HH:mm"));
    closeInputMethod(c.dtpArDate);
    closeInputMethod(c.dtpArTime);
    connect(c.dtpArDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_model.dtpArDate_Change(d);
        m_show();
        m_applyFocus();
    });
    connect(c.dtpArTime, &QTimeEdit::timeChanged, this, [&a](const QTime &t) { a.time = t; });
    addRow(QStringLiteral("日　時"), row(page, {c.dtpArDate, c.dtpArTime}));

    c.txtArMessage = named(new QLineEdit(page), "txtArMessage");
    c.txtArMessage->setMaxLength(120);
    afterEdit(c.txtArMessage, [&a](const QString &text) { a.message = text; });
    selectAllOnFocus(c.txtArMessage);
    addRow(QStringLiteral("ﾒｯｾｰｼﾞ"), row(page, {c.txtArMessage, label(QStringLiteral("(半角120文字まで)"), page)}));

    c.txtArTel = named(new QLineEdit(page), "txtArTel");
    c.txtArTel->setMinimumWidth(200);
    afterEdit(c.txtArTel, [&a](const QString &text) { a.tel = text; });
    selectAllOnFocus(c.txtArTel);
    c.addressButton = named(new QPushButton(QStringLiteral("電話帳"), page),
                            profile.kind == EditorKind::Edit ? "cmdAddress" : "Command1");
    connect(c.addressButton, &QPushButton::clicked, this, &EditorControls::addressList);
    addRow(QStringLiteral("電話番号"), row(page, {c.txtArTel, c.addressButton}));

    c.optRing0 = option("optRing0", QStringLiteral("固定ﾊﾟﾀｰﾝ"), [this] { m_model.optRing_Click(Ring::Melody); });
    c.Label18 = label(QStringLiteral("ﾒﾛﾃﾞｨ"), page, "Label18");
    c.cmbRing0 = list("cmbRing0");
    connect(c.cmbRing0, &QComboBox::activated, this, [&a](int i) { a.melody = i; });
    c.optRing2 = option("optRing2", QStringLiteral("ﾃﾞｰﾀﾌｫﾙﾀﾞ"), [this] { m_model.optRing_Click(Ring::Folder); });
    group({c.optRing0, c.optRing2});
    c.txtRing2 = named(new QLineEdit(page), "txtRing2");
    afterEdit(c.txtRing2, [&a](const QString &text) { a.ringFile = text; });
    c.btnRing = named(new QPushButton(QStringLiteral("参照..."), page), "btnRing");
    addRow(profile.kind == EditorKind::Edit ? QStringLiteral("ｱﾗｰﾑ音") : QStringLiteral("ｻｳﾝﾄﾞ"),
           row(page, {c.optRing0, c.Label18, c.cmbRing0}));
    addRow(QString(), row(page, {c.optRing2, c.txtRing2, c.btnRing}));
    if (profile.soundFolders) {
        const std::array<QString, SoundFolderCount> folders = {
            QStringLiteral("ﾐｭｰｼﾞｯｸ"), QStringLiteral("ｵｰﾃﾞｨｵ"), QStringLiteral("ﾎﾞｲｽ")};
        for (int i = 0; i < SoundFolderCount; ++i) {
            c.opt_folder[static_cast<size_t>(i)] = option("opt_folder", folders[static_cast<size_t>(i)],
                                                          [this, i] { m_model.opt_folder_Click(i); });
            c.opt_folder[static_cast<size_t>(i)]->setProperty("index", i);
        }
        group({c.opt_folder[0], c.opt_folder[1], c.opt_folder[2]});
        addRow(QString(), row(page, {c.opt_folder[0], c.opt_folder[1], c.opt_folder[2]}));
    }

    c.cmbArmVol = list("cmbArmVol");
    connect(c.cmbArmVol, &QComboBox::activated, this, [&a](int i) { a.volume = i; });
    c.optVivOn = option("optVivOn", QStringLiteral("ON"), [&a] { a.vibration = Pair::On; });
    c.optVivOff = option("optVivOff", QStringLiteral("OFF"), [&a] { a.vibration = Pair::Off; });
    group({c.optVivOn, c.optVivOff});
    addRow(QStringLiteral("音 量"), row(page, {c.cmbArmVol, captionOf(QStringLiteral("バイブ"), c.optVivOn), c.optVivOn, c.optVivOff}));

    c.optArmTime = numberField(page, "optArmTime", 2);
    afterEdit(c.optArmTime, [this](const QString &text) { m_model.optArmTime_Change(text); });
    c.updArTime = spinButtons(page, "updArTime", [this, &a](int step) {
        m_model.optArmTime_Change(QString::number(a.seconds.toInt() + step));
        m_model.optArmTime_LostFocus();
    });
    c.Label34 = label(QStringLiteral("秒"), page, "Label34");
    addRow(QStringLiteral("時 間"), row(page, {c.optArmTime, c.updArTime, c.Label34}));

    c.optRmpMobile = option("optRmpMobile", QStringLiteral("ﾓﾊﾞｲﾙﾗｲﾄ"), [this] { m_model.optRmp_Click(Lamp::Mobile); });
    c.cmbRmp1 = list("cmbRmp1");
    connect(c.cmbRmp1, &QComboBox::activated, this, [&a](int i) { a.largePattern = i; });
    c.cmbRmp2 = list("cmbRmp2");
    connect(c.cmbRmp2, &QComboBox::activated, this, [&a](int i) { a.largeColour = i; });
    // SH52's small lamp is the lamp that follows the melody.
    c.optRmpSmall = option("optRmpSmall",
                           profile.smafLampOption ? QStringLiteral("SMAF連動") : QStringLiteral("ｽﾓｰﾙﾗｲﾄ"),
                           [this] { m_model.optRmp_Click(Lamp::Small); });
    c.cmbRmp3 = list("cmbRmp3");
    connect(c.cmbRmp3, &QComboBox::activated, this, [&a](int i) { a.smallPattern = i; });
    c.optRmpOff = option("optRmpOff", QStringLiteral("OFF"), [this] { m_model.optRmp_Click(Lamp::Off); });
    group({c.optRmpMobile, c.optRmpSmall, c.optRmpOff});
    addRow(QStringLiteral("ﾗｲﾄ"), row(page, {c.optRmpMobile, captionOf(QStringLiteral("点滅"), c.cmbRmp1), c.cmbRmp1,
                                              captionOf(QStringLiteral("カラー"), c.cmbRmp2), c.cmbRmp2}));
    addRow(QString(), row(page, {c.optRmpSmall, c.cmbRmp3, c.optRmpOff}));
    if (profile.smafLampOption)
        c.cmbRmp3->hide();

    if (profile.alarmExtras) {
        c.optPreArarmOn = option("optPreArarmOn", QStringLiteral("ON"), [this] { m_model.optPreArarm_Click(Pair::On); });
        c.optPreArarmOff = option("optPreArarmOff", QStringLiteral("OFF"), [this] { m_model.optPreArarm_Click(Pair::Off); });
        group({c.optPreArarmOn, c.optPreArarmOff});
        c.txtPreArarm = numberField(page, "txtPreArarm", 2);
        afterEdit(c.txtPreArarm, [this](const QString &text) { m_model.txtPreArarm_Change(text); });
        c.updPreArarm = spinButtons(page, "updPreArarm", [this, &a](int step) {
            m_model.txtPreArarm_Change(QString::number(a.preCount.toInt() + step));
            m_model.txtPreArarm_LostFocus();
        });
        c.Label31 = label(QStringLiteral("単位"), page, "Label31");
        c.cmbPreArarm = list("cmbPreArarm");
        connect(c.cmbPreArarm, &QComboBox::activated, this, [this](int i) {
            m_model.cmbPreArarm_Click(i);
            m_show();
        });
        c.Label32 = label(QString(), page, "Label32");
        addRow(QStringLiteral("予　告"), row(page, {c.optPreArarmOn, c.optPreArarmOff, c.txtPreArarm, c.updPreArarm,
                                                     c.Label31, c.cmbPreArarm, c.Label32}));

        c.optSnoozeOn = option("optSnoozeOn", QStringLiteral("ON"), [this] { m_model.optSnooze_Click(Pair::On); });
        c.optSnoozeOff = option("optSnoozeOff", QStringLiteral("OFF"), [this] { m_model.optSnooze_Click(Pair::Off); });
        group({c.optSnoozeOn, c.optSnoozeOff});
        c.txtSnooze = numberField(page, "txtSnooze", 2);
        afterEdit(c.txtSnooze, [this](const QString &text) { m_model.txtSnooze_Change(text); });
        c.updSnooze = spinButtons(page, "updSnooze", [this, &a](int step) {
            m_model.txtSnooze_Change(QString::number(a.snoozeCount.toInt() + step));
            m_model.txtSnooze_LostFocus();
        });
        c.Label35 = label(QStringLiteral("分(2～20)"), page, "Label35");
        addRow(QStringLiteral("ｽﾇｰｽﾞ"), row(page, {c.optSnoozeOn, c.optSnoozeOff, c.txtSnooze, c.updSnooze, c.Label35}));
    }
    grid->setColumnStretch(2, 1);
}

QHBoxLayout *EditorControls::buildButtons()
{
    auto *cmdBack = named(new QPushButton(QStringLiteral("<< Back"), m_dialog), "Command7");
    auto *cmdNext = named(new QPushButton(QStringLiteral("Next >>"), m_dialog), "Command6");
    auto *cmdOk = named(new QPushButton(QStringLiteral("OK"), m_dialog), "cmdOk");
    auto *cmdCancel = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), m_dialog), "cmdCancel");
    cmdOk->setDefault(true);
    connect(cmdBack, &QPushButton::clicked, this, [this] { move(-1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { move(+1); });
    connect(cmdOk, &QPushButton::clicked, this, &EditorControls::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, m_dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    return buttons;
}

void EditorControls::selectAllOnFocus(QWidget *w)
{
    w->installEventFilter(this);
}

bool EditorControls::eventFilter(QObject *watched, QEvent *event)
{
    // A number typed takes its limits when the user leaves its field.
    if (event->type() == QEvent::FocusOut) {
        if (watched == alarm.optArmTime)
            m_model.optArmTime_LostFocus();
        else if (watched == alarm.txtPreArarm)
            m_model.txtPreArarm_LostFocus();
        else if (watched == alarm.txtSnooze)
            m_model.txtSnooze_LostFocus();
        if (watched == alarm.optArmTime || watched == alarm.txtPreArarm || watched == alarm.txtSnooze)
            m_show();
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
    return QObject::eventFilter(watched, event);
}

void EditorControls::showGeneral()
{
    const EditorForm &f = m_model.form;
    // Next and Back can turn adding into editing.
    m_dialog->setWindowTitle(m_model.title());
    setChecked(m_optEvent, f.kind == Kind::Event);
    setChecked(m_optTodo, f.kind == Kind::Todo);
    m_lblStart->setText(f.lblStart);
    m_lblEnd->setText(f.lblEnd);

    {
        const QSignalBlocker block(txtSummary);
        if (txtSummary->count() != f.summaryHistory.items.size()) {
            txtSummary->clear();
            txtSummary->addItems(f.summaryHistory.items);
        }
        if (txtSummary->currentText() != f.summary)
            txtSummary->setEditText(f.summary);
    }
    {
        // The box shows line breaks its own way; only another text is shown anew.
        const QSignalBlocker block(m_txtDescription);
        if (crlfLineBreaks(m_txtDescription->toPlainText()) != crlfLineBreaks(f.description))
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

    for (size_t i = 0; i < Repeats.size(); ++i)
        setChecked(m_repeat[i], f.repeat == Repeats[i]);
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
}

void EditorControls::showOptions()
{
    const EditorForm &f = m_model.form;
    setChecked(m_optSecretOn, f.secret == Pair::On);
    setChecked(m_optSecretOff, f.secret == Pair::Off);
    showList(m_cmbCategories, f.categories);
    showList(m_cmbPriority, f.priority);
    setChecked(m_optNeeds, f.status == TaskStatus::Needs);
    setChecked(m_optComp, f.status == TaskStatus::Comp);
}

void EditorControls::showAlarm()
{
    const EditorProfile &profile = m_model.profile();
    const AlarmFields &a = m_model.form.alarm;
    const AlarmControls &c = alarm;
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
    showList(c.cmbArmVol, {volumeNames(), a.volume});
    setChecked(c.optVivOn, a.vibration == Pair::On);
    setChecked(c.optVivOff, a.vibration == Pair::Off);
    showText(c.optArmTime, a.seconds);
    setChecked(c.optRmpMobile, a.lamp == Lamp::Mobile);
    setChecked(c.optRmpSmall, a.lamp == Lamp::Small);
    setChecked(c.optRmpOff, a.lamp == Lamp::Off);
    showList(c.cmbRmp1, {a.lampPatterns, a.largePattern});
    showList(c.cmbRmp2, {a.lampColours, a.largeColour});
    showList(c.cmbRmp3, {a.smallLampPatterns, a.smallPattern});

    // The alarm off greys the group over each control's own state; the
    // telephone number stays where the alarm off keeps it.
    const bool on = a.alarm == Pair::On;
    auto enable = [on](std::initializer_list<QWidget *> widgets, bool own) {
        for (QWidget *w : widgets)
            w->setEnabled(on && own);
    };
    enable({c.dtpArDate, c.dtpArTime, c.txtArMessage, c.optRing0, c.optRing2, c.Label18, c.cmbArmVol,
            c.optVivOn, c.optVivOff, c.optArmTime, c.updArTime, c.Label34},
           true);
    c.txtArTel->setEnabled(m_model.telephoneStored());
    c.addressButton->setEnabled(m_model.telephoneStored());
    enable({c.optRmpMobile, c.optRmpSmall, c.optRmpOff}, !profile.lampLocked);
    enable({c.cmbRing0}, a.melodyEnabled);
    enable({c.txtRing2, c.btnRing}, a.ringFileEnabled);
    enable({c.cmbRmp1, c.cmbRmp2}, a.largeLampEnabled);
    enable({c.cmbRmp3}, a.smallLampEnabled);
    if (profile.soundFolders) {
        for (int i = 0; i < SoundFolderCount; ++i) {
            const auto f = static_cast<size_t>(i);
            setChecked(c.opt_folder[f], a.folder == i);
            enable({c.opt_folder[f]}, a.folderEnabled[f]);
        }
    }
    if (!profile.alarmExtras)
        return;
    setChecked(c.optPreArarmOn, a.preAlarm == Pair::On);
    setChecked(c.optPreArarmOff, a.preAlarm == Pair::Off);
    showList(c.cmbPreArarm, {preAlarmUnitNames(), a.preUnit});
    showText(c.txtPreArarm, a.preCount);
    c.Label32->setText(a.preRange);
    setChecked(c.optSnoozeOn, a.snooze == Pair::On);
    setChecked(c.optSnoozeOff, a.snooze == Pair::Off);
    showText(c.txtSnooze, a.snoozeCount);
    enable({c.optPreArarmOn, c.optPreArarmOff, c.optSnoozeOn, c.optSnoozeOff}, true);
    enable({c.cmbPreArarm, c.Label31, c.txtPreArarm, c.updPreArarm, c.Label32}, a.preAlarmEnabled);
    enable({c.txtSnooze, c.updSnooze, c.Label35}, a.snoozeEnabled);
}

void EditorControls::cmdOk_Click()
{
    if (m_model.cmdOk_Click()) {
        m_dialog->accept();
        return;
    }
    m_applyFocus();
}

void EditorControls::move(int step)
{
    if (step > 0)
        m_model.Command6_Click();
    else
        m_model.Command7_Click();
    m_show();
    m_applyFocus();
}

// The telephone book; a number picked there becomes the alarm's number.
void EditorControls::addressList()
{
    const bool older = m_model.profile().kind == EditorKind::Edit;
    openAddressList(m_state, m_dialogs, m_dialog, older ? QStringLiteral("Edit") : QStringLiteral("EditR"),
                    alarm.txtArTel);
    m_model.form.alarm.tel = alarm.txtArTel->text();
}

} // namespace skedra
