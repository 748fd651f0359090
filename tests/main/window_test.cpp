// The main window starts offscreen with its title.
#include "frmmain.h"

#include <gtest/gtest.h>

using namespace skedra;

TEST(MainWindow, StartsWithTitle)
{
    frmMain w;
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Skedra Ver.")));
    EXPECT_EQ(w.windowTitle(), windowTitleText());
    EXPECT_EQ(w.state().ScheduleList.count(), 0);
}
