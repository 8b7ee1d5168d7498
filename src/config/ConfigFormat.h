#pragma once

#include "config/ConfigRecord.h"
#include "platform/FileSystem.h"
#include "platform/VbText.h"
#include "platform/Wording.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The line rules shared by every reader of configuration files, and the one writer.
namespace ConfigFormat {

enum class LineKind { Blank, NoEquals, KeyValue };

// Classifies a line; for a key line the key is the lower-cased text before the first "="
// (not trimmed: "dsn =" gives the key "dsn " that matches nothing) and the value the
// blank-trimmed text after it.
LineKind SplitLine(const QString &line, QString *key, QString *value);

// The joint file's first section header, "[FMK]": a line that is this once trimmed of blanks
// makes the file a joint file.
const QString &JointFileMarker();
bool IsJointFileMarker(const QString &line);

// The product code a SatelliteAppln value stands for once written and read back by the
// list (blanks around it trimmed): 4009, 4010 or 1028; 0 for any other text.
qint16 ProductCodeOf(const QString &value);

// The platform an ldbp value converts to once written and read back by the list; the
// conversion's error when it does not convert to a whole number.
Result<qint16> PlatformOf(const QString &value);
// True for a comment line: its first non-blank character is ";" or "#".
bool IsComment(const QString &line);

// How far ReadRecord read.
struct RecordRead
{
    int stopLine = 0;    // the 1-based number of the line that stopped it; 0 when it read to the end
    QString stopText;    // that line, blanks around it trimmed
    int unreadLines = 0; // the lines after it, none of them read

    bool complete() const { return stopLine == 0; }
};

// Reads an ordinary configuration file's text into config, line by line: blank lines are
// skipped; comment lines and lines of keys not in the table are appended to otherLines; a
// key of the table sets its field (the password unscrambled), the later of two lines
// winning, and then the field is handed to fieldRead. A key the text lacks leaves its field
// as it was. Stops at the first other line without "=", with the lines before it read.
RecordRead ReadRecord(const QString &text, ConfigRecord *config,
                      const std::function<void(QString ConfigRecord::*field)> &fieldRead = {});

// A flag value (savepass, autologin) is set when its number is 1 ("1", "1.0").
bool IsFlagSet(const QString &value);

// The twenty lines in writing order, then the record's other lines, CR LF each,
// Windows-1252. The password line holds the scrambled password when savepass is set, else
// nothing after "=".
QByteArray Format(const ConfigRecord &config);

// Why config cannot be written so that it reads back as it stands, naming the field;
// empty when it can.
Wording WhyNotWritable(const ConfigRecord &config);

// WhyNotWritable, then Format written over path atomically. On failure nothing is written
// and the error says why (InvalidValue for a refused value, with its description).
Result<void> WriteFile(const QString &path, const ConfigRecord &config, const FileSystem &fs = FileSystem::Real());

} // namespace ConfigFormat
