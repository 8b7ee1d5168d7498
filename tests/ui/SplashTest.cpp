#include "ui/frmSplash.h"
#include "support/Controls.h"
#include "support/TestAppDir.h"

#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

// The timer of a very short splash runs out while the window is still being shown; the
// modal display must end all the same. The picture is the program's own.
TEST(Splash, ClosesItselfWhenItsTimerFires)
{
    TestAppDir app;
    for (int ms : {0, 1, 30}) {
        Session session(app.path(), app.messages(), ms);
        frmSplash splash(session);
        EXPECT_EQ(splash.exec(), int(QDialog::Accepted));
        EXPECT_FALSE(splash.isVisible());
        EXPECT_FALSE(Child<QTimer>(&splash, "tmrWait")->isActive());
        EXPECT_FALSE(Child<QLabel>(&splash, "imgSplash")->pixmap().isNull());
    }
}
