// frmEditR: the entry editor of 601SH to 604SH, a thin dialog over
// EditorModel. Every control carries its own name as objectName; the
// dialog shows the model's form after each handler and passes the user's
// clicks and edits to the model's handlers.
#pragma once

#include "editormodel.h"

#include <QDialog>

#include <array>
#include <functional>

class QAbstractButton;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTimeEdit;
class QToolButton;

namespace skedra {

class NullablePicker;

class frmEditR : public QDialog {
    Q_OBJECT
public:
    // Loads WorkEntry at once (Form_Load). `today` gives the date the status
    // rule compares with.
    frmEditR(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
             const SoundCatalogue &catalogue, std::function<QDate()> today,
             QWidget *parent = nullptr);

    EditorModel &model() { return m_model; }
    // Writes the whole form state into the controls.
    void showForm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    QWidget *buildGeneral();
    QWidget *buildRepeat();
    QWidget *buildAlarmPage();
    QWidget *buildOptionPage();
    QRadioButton *option(const char *name, const QString &caption, std::function<void()> onClick);
    QComboBox *list(const char *name);
    QWidget *spinButtons(QWidget *parent, const char *name, std::function<void(int)> onStep);
    QLineEdit *numberField(QWidget *parent, const char *name, int digits);
    void showAlarm();
    void showPicture();
    void btnPic_Click();
    void btnRing_Click();
    void selectAllOnFocus(QWidget *w);
    void afterHandler();
    void applyFocus();
    void cmdOk_Click();
    void move(int step);
    void Command1_Click();
    void finishNumberFields();

    SessionState &m_state;
    Dialogs &m_dialogs;
    EditorModel m_model;

    QRadioButton *m_optEvent = nullptr, *m_optTodo = nullptr;
    QComboBox *m_txtSummary = nullptr;
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
    QComboBox *m_cmbCategories = nullptr, *m_cmbPriority = nullptr, *m_cmbDateColor = nullptr;
    QRadioButton *m_optNeeds = nullptr, *m_optComp = nullptr;
    QRadioButton *m_optAutoDelOn = nullptr, *m_optAutoDelOff = nullptr;
    QRadioButton *m_optDifpDefOn = nullptr, *m_optDifpDefOff = nullptr;
    // The alarm group.
    struct AlarmControls {
        QRadioButton *optArarmOn, *optArarmOff;
        QDateEdit *dtpArDate;
        QTimeEdit *dtpArTime;
        QLineEdit *txtArMessage, *txtArTel;
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
    AlarmControls m_alarm{};
    // The picture attachment and its preview.
    QRadioButton *m_optPicOn = nullptr, *m_optPicOff = nullptr;
    QLineEdit *m_txtPic = nullptr;
    QPushButton *m_btnPic = nullptr;
    QLabel *m_label33 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QLabel *m_image1 = nullptr;
    QString m_shownPicture;  // the file Image1 holds
    QLineEdit *m_txtArTel = nullptr;
    QTabBar *m_tabStrip = nullptr;
    std::array<QWidget *, 2> m_pages{};
};

} // namespace skedra
