#include "ui/WindowState.h"

#include <QRect>

#include <gtest/gtest.h>

// A window remembered partly off the screen comes back whole on it: its frame (title bar 30,
// borders 4) is moved in first, then made smaller where the screen is too small for it.
TEST(WindowState, ARestoredWindowFitsItsFrameInsideTheFreeArea)
{
    const QRect free(0, 0, 1024, 740); // a panel below
    const QMargins frame(4, 30, 4, 4);
    struct Case { const char *what; QRect inner, expected; };
    const Case cases[] = {
        {"inside already", QRect(104, 130, 600, 400), QRect(104, 130, 600, 400)},
        {"status bar below the edge", QRect(104, 430, 600, 400), QRect(104, 336, 600, 400)},
        {"title bar above the top", QRect(200, 10, 600, 400), QRect(200, 30, 600, 400)},
        {"right and left edges out", QRect(900, 130, 600, 400), QRect(420, 130, 600, 400)},
        {"larger than the screen", QRect(-50, -50, 1200, 900), QRect(4, 30, 1016, 706)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WindowState::FitInside(c.inner.marginsAdded(frame), c.inner, free), c.expected);
    }
}
