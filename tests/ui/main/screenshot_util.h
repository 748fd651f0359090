// What the screenshot programs share: letting the window settle under a
// real display, and saving a picture with its path printed.
#pragma once

#include "test_entries.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QString>
#include <QThread>
#include <QWidget>

#include <cstdio>

namespace skedra::test {

// Events processed for about 0.4 s, so windows are mapped and painted.
inline void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

// Saves `picture` to `path` and prints the path; a message when it cannot.
inline bool savePicture(const QPixmap &picture, const QString &path)
{
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The run's settings live in `folder` (a temporary one), not the user's.
inline void keepSettingsIn(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

// `menu` opened from the menu bar of `window`, and `sub` (one of its
// submenus) beside it when given: a picture of the screen around the
// window and the menus, which are closed again.
inline QPixmap menuPicture(QMainWindow &window, QMenu *menu, QMenu *sub = nullptr)
{
    window.menuBar()->setActiveAction(menu->menuAction());
    settle();
    if (sub) {
        menu->setActiveAction(sub->menuAction());
        settle();
        if (!sub->isVisible()) {
            sub->popup(menu->mapToGlobal(menu->actionGeometry(sub->menuAction()).topRight()));
            settle();
        }
    }
    QRect area = window.frameGeometry() | menu->geometry();
    if (sub && sub->isVisible())
        area |= sub->geometry();
    QScreen *screen = window.screen();
    area &= screen->geometry();
    QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (sub)
        sub->hide();
    menu->hide();
    return picture;
}

// A settled picture of `window`.
inline bool saveWindow(QWidget &window, const QString &path)
{
    settle();
    return savePicture(window.grab(), path);
}

// Four entries at 18:00 on 22 April 2005 added to the list: with the
// sample's report that day holds more than its calendar cell shows.
inline void addBusyDay(ScheduleList &list)
{
    for (const char *summary : {"部内打合せ", "歯医者", "送別会", "資料作成"})
        list[list.count()] = entry(QString::fromUtf8(summary), QStringLiteral("20050422180000"));
}

} // namespace skedra::test
