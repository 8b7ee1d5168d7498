#pragma once

#include "config/Products.h"

#include <QString>

class Messages;

// Key access to a joint configuration file (sections "FMK" and "RST") through the INI
// profile functions: names without regard to case, everything else in the file untouched.
namespace JointFile {

// The two sections, named as in the file.
inline const QString &FMK = JointSections[0];
inline const QString &RST = JointSections[1];

// The value of key in section; "" when absent. At most 254 characters: the value is read into
// a buffer of 255.
QString GetAttributeValueFromTSY(const QString &path, const QString &section, const QString &key);

// The same on the text of a joint file held in memory.
QString GetAttributeValueFromText(const QString &text, const QString &section, const QString &key);
// Sets one key in text as WriteAttributeValueToTSY sets it in the file; false, text
// unchanged, for a value the file cannot hold.
bool SetAttributeValueInText(QString &text, const QString &section, const QString &key, const QString &value);

// Why value, standing after "key=" in a joint file, would read back otherwise through
// GetAttributeValueFromTSY, in the language of messages; empty when it reads back exactly.
QString WhyValueChangesOnReading(Messages &messages, const QString &value);

// Writes one key, creating the key or section when absent. False when the file refused it.
bool WriteAttributeValueToTSY(const QString &path, const QString &section, const QString &key,
                              const QString &value);

} // namespace JointFile
