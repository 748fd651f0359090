#include "frmeditr.h"

#include "editorcontrols.h"
#include "pngpicture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
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

} // namespace

frmEditR::frmEditR(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                   const SoundCatalogue &catalogue, std::function<QDate()> today, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_model(state, grid, dialogs, hooks, catalogue, std::move(today))
    , m_controls(new EditorControls(this, m_model, state, dialogs, [this] { showForm(); },
                                    [this] { applyFocus(); }))
    , m_alarm(m_controls->alarm)
{
    setObjectName(QStringLiteral("frmEditR"));
    build();
    m_model.Form_Load();
    showForm();
    m_controls->txtSummary->setFocus();  // the summary first, its text selected
}

QRadioButton *frmEditR::option(const char *name, const QString &caption,
                               std::function<void()> onClick)
{
    return m_controls->option(name, caption, std::move(onClick));
}

QComboBox *frmEditR::list(const char *name)
{
    return m_controls->list(name);
}

// The dates and the repeat group on the left, the two pages beside them,
// so that the dialog fits a screen 768 pixels high; the buttons below.
void frmEditR::build()
{
    auto *left = new QVBoxLayout;
    left->addWidget(m_controls->buildGeneral());
    left->addWidget(m_controls->buildRepeat());
    left->addStretch(1);

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
    // Ctrl+Tab and Ctrl+PgDn show the next page, Ctrl+Shift+Tab and
    // Ctrl+PgUp the one before, as in a desktop tab dialog.
    const std::pair<QKeySequence, int> switches[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto &[key, step] : switches) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this, step = step] {
            const int count = m_tabStrip->count();
            m_tabStrip->setCurrentIndex((m_tabStrip->currentIndex() + step + count) % count);
        });
    }

    // The pages share one place, which takes the room of the larger, so
    // switching pages keeps the dialog's size.
    m_pages = {buildAlarmPage(), buildOptionPage()};
    m_pageStack = new QStackedWidget(this);
    for (QWidget *page : m_pages)
        m_pageStack->addWidget(page);
    auto *right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(m_tabStrip);
    right->addWidget(m_pageStack);
    right->addStretch(1);

    auto *face = new QHBoxLayout;
    face->addLayout(left);
    face->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(face);
    layout->addLayout(m_controls->buildButtons());
}

QWidget *frmEditR::buildAlarmPage()
{
    auto *page = named(new QGroupBox(this), "fraArarm");
    m_controls->buildAlarm(page);
    connect(m_alarm.btnRing, &QPushButton::clicked, this, &frmEditR::btnRing_Click);
    return page;
}

QWidget *frmEditR::buildOptionPage()
{
    auto *page = named(new QGroupBox(this), "fraOption");
    auto *grid = new QGridLayout(page);
    EditorForm &f = m_model.form;

    // The controls are made in the order Tab visits them: the left column
    // top to bottom, then the right one, then the picture.
    m_controls->buildOptions(page, grid);
    m_optAutoDelOn = option("optAutoDelOn", QStringLiteral("ON"), [&f] { f.autoDelete = Pair::On; });
    m_optAutoDelOff = option("optAutoDelOff", QStringLiteral("OFF"), [&f] { f.autoDelete = Pair::Off; });
    m_controls->group({m_optAutoDelOn, m_optAutoDelOff});
    grid->addWidget(label(QStringLiteral("自動削除保護"), page), 0, 2);
    grid->addWidget(row(page, {m_optAutoDelOn, m_optAutoDelOff}), 0, 3);

    m_optDifpDefOn = option("optDifpDefOn", QStringLiteral("ON"), [&f] { f.standby = Pair::On; });
    m_optDifpDefOff = option("optDifpDefOff", QStringLiteral("OFF"), [&f] { f.standby = Pair::Off; });
    m_controls->group({m_optDifpDefOn, m_optDifpDefOff});
    grid->addWidget(label(QStringLiteral("待受表示"), page), 1, 2);
    grid->addWidget(row(page, {m_optDifpDefOn, m_optDifpDefOff}), 1, 3);

    m_cmbDateColor = list("cmbDateColor");
    connect(m_cmbDateColor, &QComboBox::activated, this, [&f](int i) { f.dateColour.index = i; });
    grid->addWidget(label(QStringLiteral("日付色"), page), 2, 2);
    grid->addWidget(row(page, {m_cmbDateColor}), 2, 3);

    PictureFields &p = f.picture;
    m_optPicOn = option("optPicOn", QStringLiteral("ON"), [this] { m_model.optPic_Click(Pair::On); });
    m_optPicOff = option("optPicOff", QStringLiteral("OFF"), [this] { m_model.optPic_Click(Pair::Off); });
    m_controls->group({m_optPicOn, m_optPicOff});
    m_txtPic = named(new QLineEdit(page), "txtPic");
    connect(m_txtPic, &QLineEdit::textEdited, this, [&p](const QString &text) { p.file = text; });
    m_controls->selectAllOnFocus(m_txtPic);
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

void frmEditR::afterHandler()
{
    showForm();
}

void frmEditR::showForm()
{
    const EditorForm &f = m_model.form;
    m_controls->showGeneral();
    m_controls->showOptions();
    showList(m_cmbDateColor, f.dateColour);
    setChecked(m_optAutoDelOn, f.autoDelete == Pair::On);
    setChecked(m_optAutoDelOff, f.autoDelete == Pair::Off);
    setChecked(m_optDifpDefOn, f.standby == Pair::On);
    setChecked(m_optDifpDefOff, f.standby == Pair::Off);
    m_controls->showAlarm();
    showPicture();

    {
        const QSignalBlocker block(m_tabStrip);
        m_tabStrip->setCurrentIndex(f.CurrentTab - 1);
    }
    m_pageStack->setCurrentWidget(m_pages[static_cast<size_t>(f.CurrentTab - 1)]);
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

} // namespace skedra
