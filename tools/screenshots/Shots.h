#pragma once

#include <QString>
#include <functional>

class TestAppDir;

// One screenshot: a name (file docs/screenshots/<name>.png) and the code that builds the
// window on a prepared demo directory and returns the grabbed picture's path.
struct Shot
{
    const char *name;
    // Builds the window in app, grabs it and saves it to outFile. False on failure.
    std::function<bool(TestAppDir &app, const QString &outFile)> make;
};

// Each shot_*.cpp registers its shots at start-up with a static ShotRegistration.
struct ShotRegistration
{
    explicit ShotRegistration(Shot shot);
};

// Fills app with the demo content every shot uses: a few configurations, one joint file.
void PrepareDemoContent(TestAppDir &app);
