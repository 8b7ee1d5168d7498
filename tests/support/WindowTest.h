#pragma once

#include "support/Controls.h"
#include "support/TestAppDir.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// A window of the program on a temporary application directory, loaded and shown as the
// program shows it, and active so that focus and keys reach it.
template <typename W>
class WindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        window.reset();
        Settle();
    }

    // arguments: what the window's constructor takes after the session.
    template <typename... A>
    void Open(A &&...arguments)
    {
        window = std::make_unique<W>(app.session(), std::forward<A>(arguments)...);
        ASSERT_TRUE(window->Load());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T>
    T *Child(const char *name) const
    {
        return ::Child<T>(window.get(), name);
    }

    // Shortcuts reach only the active window; a closed modal window may have left none.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
        Settle();
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    TestAppDir app;
    std::unique_ptr<W> window;
};
