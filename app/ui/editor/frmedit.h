// frmEdit: the entry editor of SH51 to SH53, a thin dialog over the same
// EditorModel as frmEditR. Its differences are the model's profile for
// those models; the dialog shows everything on one face, the alarm fields
// in the group "ｱﾗｰﾑ設定".
#pragma once

#include "editorcontrols.h"
#include "editormodel.h"

#include <QDialog>

#include <functional>

namespace skedra {

class frmEdit : public QDialog {
    Q_OBJECT
public:
    // Loads WorkEntry at once (Form_Load). `today` gives the date the status
    // rule compares with.
    frmEdit(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
            const SoundCatalogue &catalogue, std::function<QDate()> today,
            QWidget *parent = nullptr);

    EditorModel &model() { return m_model; }
    // Writes the whole form state into the controls.
    void showForm();

private:
    void build();
    void applyFocus();
    void btnRing_Click();

    EditorModel m_model;
    EditorControls *m_controls;
};

} // namespace skedra
