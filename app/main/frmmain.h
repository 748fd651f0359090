// The main window.
#pragma once

#include <QMainWindow>

#include "session.h"

namespace skedra {

// "Skedra Ver.<major>.<minor><revision>"
QString windowTitleText();

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    SessionState &state() { return m_state; }

private:
    void Form_Load();

    SessionState m_state;
};

} // namespace skedra
