// The parts of the desktop services that do not need a person at the screen.

#include <gtest/gtest.h>

#include "mainwindow/QtUiServices.h"

TEST(QtFileFilterTest, PairsBecomeQtFiltersAndStarDotStarMeansEveryFile) {
    EXPECT_EQ(QtFileFilter("All Files (*.*)|*.*"), "All Files (*.*) (*)");
    EXPECT_EQ(QtFileFilter("Programs|*.exe;*.bat|Scripts|*.ins"),
              "Programs (*.exe *.bat);;Scripts (*.ins)");
    EXPECT_EQ(QtFileFilter(""), "");
    // A description without its pattern is dropped rather than read as one.
    EXPECT_EQ(QtFileFilter("Text|*.txt|Dangling"), "Text (*.txt)");
}
