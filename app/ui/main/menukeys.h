// Access keys that several items of one menu share. Qt opens or runs the
// first of them at once; a desktop menu only moves the highlight to the
// next of them, and Enter then acts. Installed on every menu and pop-up
// menu of the main window.
#pragma once

#include <QObject>

class QMenu;

namespace skedra {

class SharedAccessKeys : public QObject {
public:
    using QObject::QObject;
    // Watches `menu`'s key presses.
    void watch(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace skedra
