#include "frmedit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace skedra {

frmEdit::frmEdit(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                 const SoundCatalogue &catalogue, std::function<QDate()> today, QWidget *parent)
    : QDialog(parent)
    , m_model(state, grid, dialogs, hooks, catalogue, std::move(today))
    , m_controls(new EditorControls(this, m_model, state, dialogs, [this] { showForm(); },
                                    [this] { applyFocus(); }))
{
    setObjectName(QStringLiteral("frmEdit"));
    build();
    m_model.Form_Load();
    showForm();
    m_controls->txtSummary->setFocus();  // the summary first, its text selected
}

// The dates, repeat and options on the left, the alarm group on the right.
void frmEdit::build()
{
    auto *left = new QVBoxLayout;
    left->addWidget(m_controls->buildGeneral());
    left->addWidget(m_controls->buildRepeat());
    auto *options = new QGroupBox(this);
    options->setObjectName(QStringLiteral("fraOption"));
    m_controls->buildOptions(options, new QGridLayout(options));
    left->addWidget(options);
    left->addStretch(1);

    auto *alarm = new QGroupBox(QStringLiteral("ｱﾗｰﾑ設定"), this);
    alarm->setObjectName(QStringLiteral("fraArarm"));
    m_controls->buildAlarm(alarm);
    connect(m_controls->alarm.btnRing, &QPushButton::clicked, this, &frmEdit::btnRing_Click);

    auto *face = new QHBoxLayout;
    face->addLayout(left);
    face->addWidget(alarm, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(face);
    layout->addLayout(m_controls->buildButtons());
}

void frmEdit::showForm()
{
    m_controls->showGeneral();
    m_controls->showOptions();
    m_controls->showAlarm();
}

void frmEdit::applyFocus()
{
    const QString &name = m_model.form.focus;
    if (name.isEmpty())
        return;
    if (auto *w = findChild<QWidget *>(name))
        w->setFocus();
}

// The one melody chooser of the older handsets.
void frmEdit::btnRing_Click()
{
    m_model.chooseSoundFile();
    showForm();
}

} // namespace skedra
