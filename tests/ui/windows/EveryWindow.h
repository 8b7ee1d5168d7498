#pragma once

#include "support/TestAppDir.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

// Each window of the program, opened as the program opens it on a few configurations: a
// Fieldmark one with a long name, a Rostrum one, a joint file and an unreadable file.
struct WindowCase
{
    const char *name;
    std::function<std::unique_ptr<QWidget>(TestAppDir &)> open;
};

// The configurations the windows open, written into app's lib/.
void WriteSampleConfigurations(TestAppDir &app);

extern const QString LongConfigName;

const std::vector<WindowCase> &EveryWindow();

// Shows window and makes it the active one, so that focus and keys reach it.
void ShowActive(QWidget &window);
