// Counts the loading notices (frmRun) shown while it watches the
// application's windows.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>

namespace skedra::test {

class NoticeCounter : public QObject {
public:
    NoticeCounter() { qApp->installEventFilter(this); }
    ~NoticeCounter() override { qApp->removeEventFilter(this); }

    int shown = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == u"frmRun")
            ++shown;
        return false;
    }
};

} // namespace skedra::test
