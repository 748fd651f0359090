// frmEditR: the entry editor of 601SH to 604SH, a thin dialog over
// EditorModel. Every control carries its own name as objectName; the
// dialog shows the model's form after each handler and passes the user's
// clicks and edits to the model's handlers. The controls it shares with
// frmEdit are built by EditorControls; the tabs, the option page's handset
// settings and the layout are its own.
#pragma once

#include "editorcontrols.h"
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
class QStackedWidget;
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

private:
    void build();
    QWidget *buildAlarmPage();
    QWidget *buildOptionPage();
    QRadioButton *option(const char *name, const QString &caption, std::function<void()> onClick);
    QComboBox *list(const char *name);
    void afterHandler();
    void applyFocus();
    void showPicture();
    void btnPic_Click();
    void btnRing_Click();

    SessionState &m_state;
    Dialogs &m_dialogs;
    EditorModel m_model;
    EditorControls *m_controls;  // the controls frmEdit shares
    AlarmControls &m_alarm;      // its alarm group

    QComboBox *m_cmbDateColor = nullptr;
    QRadioButton *m_optAutoDelOn = nullptr, *m_optAutoDelOff = nullptr;
    QRadioButton *m_optDifpDefOn = nullptr, *m_optDifpDefOff = nullptr;
    // The picture attachment and its preview.
    QRadioButton *m_optPicOn = nullptr, *m_optPicOff = nullptr;
    QLineEdit *m_txtPic = nullptr;
    QPushButton *m_btnPic = nullptr;
    QLabel *m_label33 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QLabel *m_image1 = nullptr;
    QString m_shownPicture;  // the file Image1 holds
    QTabBar *m_tabStrip = nullptr;
    std::array<QWidget *, 2> m_pages{};  // fraArarm, fraOption
    QStackedWidget *m_pageStack = nullptr;
};

} // namespace skedra
