#pragma once

#include <QString>

class LocalisedText;
class Messages;

// What the suite's launches use of the program around them: the application directory (with
// lib/, log/ and OAComponents/ below it), the messages that tell the operator, and the texts.
struct SuiteContext
{
    QString appDir;
    Messages &messages;
    LocalisedText &texts;
};
