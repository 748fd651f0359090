// The real main window for a test, offscreen, with its settings in a folder
// of their own and every dialog answered by a script.
#pragma once

#include "frmmain.h"
#include "gridview.h"
#include "scripted_dialogs.h"
#include "test_entries.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace skedra::test {

class WindowFixture : public ::testing::Test {
protected:
    static QTemporaryDir &settingsDir()
    {
        static QTemporaryDir dir;
        return dir;
    }
    static void SetUpTestSuite()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir().path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir().path());
    }
    void SetUp() override
    {
        QSettings(QStringLiteral("Skedra"), QStringLiteral("Skedra")).clear();
        w = std::make_unique<frmMain>(nullptr, &dialogs);
        w->resize(1000, 500);
    }
    void TearDown() override
    {
        w->state().Dirty = QStringLiteral("0");
        w.reset();
    }
    // Puts `n` entries into the window as a read would.
    void load(int n)
    {
        fill(w->state(), w->grid(), n);
        w->Grid_refresh();
        w->UpdateCountPanel();
    }
    // The middle of grid row `row`, column `col` of the main list.
    QPoint cellCentre(int row, int col) const
    {
        GridView *v = w->gridView();
        return v->visualRect(v->model()->index(row - 1, col)).center();
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<frmMain> w;
};

} // namespace skedra::test
