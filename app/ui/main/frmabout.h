// The version window.
#pragma once

#include <QDialog>

namespace skedra {

// "Ver.<major>.<minor><revision>", e.g. Ver.1.05 for 1.0.5.
QString versionText();

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);
};

} // namespace skedra
