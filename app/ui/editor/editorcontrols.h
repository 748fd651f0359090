// The controls both entry editors share, built over one EditorModel: the
// general fields with the dates, the repeat group, the alarm group and the
// command buttons. frmEditR and frmEdit lay them out, each its own way.
//
// Every control carries its own name as objectName, the same name in both
// editors for the same field. A user action runs the model's handler and
// then the dialog's `show`, which writes the whole form into the controls.
// Which rows the alarm group has follows the model's profile: the older
// editor has no folder options, pre-alarm or snooze, and its telephone-book
// button is cmdAddress instead of Command1.
#pragma once

#include "editormodel.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QComboBox;
class QDateEdit;
class QDialog;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace skedra {

class NullablePicker;

// `w` named `name` (its objectName).
template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// Small builders and setters that write without running change handlers.
QLabel *label(const QString &text, QWidget *parent, const char *name = nullptr);
// A caption written beside `control` that greys and ungreys with it.
QLabel *captionOf(const QString &text, QWidget *control);
// Selects or clears an option without running its handler; clearing the
// selected option of a group leaves the group without one.
void setChecked(QAbstractButton *button, bool on);
void showList(QComboBox *box, const ListChoice &choice);
void showText(QLineEdit *line, const QString &text);
// The widgets side by side, left-aligned.
QWidget *row(QWidget *parent, std::initializer_list<QWidget *> widgets);

// The alarm group's controls; those the model's profile lacks stay null.
struct AlarmControls {
    QRadioButton *optArarmOn, *optArarmOff;
    QDateEdit *dtpArDate;
    QTimeEdit *dtpArTime;
    QLineEdit *txtArMessage, *txtArTel;
    QPushButton *addressButton;   // Command1 (frmEditR) or cmdAddress (frmEdit)
    QRadioButton *optRing0, *optRing2;
    QLabel *Label18;
    QComboBox *cmbRing0;
    QLineEdit *txtRing2;
    QPushButton *btnRing;
    std::array<QRadioButton *, SoundFolderCount> opt_folder;
    QComboBox *cmbArmVol;
    QRadioButton *optVivOn, *optVivOff;
    QLineEdit *optArmTime;
    QWidget *updArTime;
    QLabel *Label34;
    QRadioButton *optRmpMobile, *optRmpSmall, *optRmpOff;
    QComboBox *cmbRmp1, *cmbRmp2, *cmbRmp3;
    QRadioButton *optPreArarmOn, *optPreArarmOff;
    QComboBox *cmbPreArarm;
    QLabel *Label31, *Label32;
    QLineEdit *txtPreArarm;
    QWidget *updPreArarm;
    QRadioButton *optSnoozeOn, *optSnoozeOff;
    QLineEdit *txtSnooze;
    QWidget *updSnooze;
    QLabel *Label35;
};

class EditorControls : public QObject {
public:
    // `show` writes the form into the controls; `applyFocus` moves the focus
    // to the control a rule named.
    EditorControls(QDialog *dialog, EditorModel &model, SessionState &state, Dialogs &dialogs,
                   std::function<void()> show, std::function<void()> applyFocus);

    // An option button whose click runs `onClick` and shows the form.
    QRadioButton *option(const char *name, const QString &caption, std::function<void()> onClick);
    // The options of one group, as a desktop dialog has them: one Tab stop
    // (the selected option, or the first while none is), arrow keys select
    // the next option of the group and click it.
    void group(const QList<QRadioButton *> &options);
    QComboBox *list(const char *name);
    // Up and down arrows; each click runs `onStep` with +1 or -1.
    QWidget *spinButtons(QWidget *parent, const char *name, std::function<void(int)> onStep);
    QLineEdit *numberField(QWidget *parent, const char *name, int digits);
    // The whole text is selected when the field gets the focus.
    void selectAllOnFocus(QWidget *w);

    // Kind, summary, description, start and end.
    QWidget *buildGeneral();
    // optOnly ... optYear, the weekdays and the count.
    QWidget *buildRepeat();
    // Secret, category ("ｽﾀﾝﾌﾟ" or "ｶﾃｺﾞﾘ"), priority and status in rows 0
    // to 3, columns 0 and 1 of `grid`.
    void buildOptions(QWidget *page, QGridLayout *grid);
    // The alarm group in `box`, its rows by the model's profile.
    void buildAlarm(QGroupBox *box);
    // "<< Back", "Next >>", OK and Cancel in one row.
    QHBoxLayout *buildButtons();

    void showGeneral();
    void showOptions();
    void showAlarm();

    AlarmControls alarm{};
    QComboBox *txtSummary = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addressList();
    // OK: stores and closes, or moves the focus to the refused field.
    void cmdOk_Click();
    // Next (+1) and Back (-1): store and load the neighbouring entry.
    void move(int step);

    QDialog *m_dialog;
    EditorModel &m_model;
    SessionState &m_state;
    Dialogs &m_dialogs;
    std::function<void()> m_show;
    std::function<void()> m_applyFocus;

    QRadioButton *m_optEvent = nullptr, *m_optTodo = nullptr;
    QPlainTextEdit *m_txtDescription = nullptr;
    QLabel *m_lblStart = nullptr, *m_lblEnd = nullptr;
    QDateEdit *m_dtpFrDate = nullptr;
    QTimeEdit *m_dtpFrTime = nullptr;
    NullablePicker *m_dtpToDate = nullptr, *m_dtpToTime = nullptr;
    std::array<QRadioButton *, 5> m_repeat{};   // optOnly ... optYear
    std::array<QRadioButton *, 7> m_weekday{};  // optSun ... optSat
    QLabel *m_label21 = nullptr, *m_label22 = nullptr, *m_label23 = nullptr;
    QLineEdit *m_txtLoop = nullptr;
    QWidget *m_updLoop = nullptr;
    QRadioButton *m_optSecretOn = nullptr, *m_optSecretOff = nullptr;
    QComboBox *m_cmbCategories = nullptr, *m_cmbPriority = nullptr;
    QRadioButton *m_optNeeds = nullptr, *m_optComp = nullptr;
};

} // namespace skedra
