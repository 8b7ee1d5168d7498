#pragma once

#include "platform/FileIo.h"
#include "platform/VbText.h"

#include <QString>

#include <functional>

// Where configuration files live and how their names are formed.
namespace ConfigStore {

// The application's folders: the one place their names are written.
QString ConfigDirectory(const QString &appDir);     // appDir/lib
QString DefaultLogDirectory(const QString &appDir); // appDir/log
QString ComponentsDirectory(const QString &appDir); // appDir/OAComponents

// Trimmed not empty and ending in ".tsy" (case-sensitive).
bool IsConfigFileName(const QString &name);
// name unchanged when it is a configuration file name, else name + ".tsy" (not trimmed).
QString AddConfigExtension(const QString &name);
// The file name a typed name gives, as Windows stores it: trailing blanks and dots dropped,
// then the extension added when missing. Empty when nothing but blanks and dots would stand
// before ".tsy".
QString StoredConfigFileName(const QString &typed);

// The joint text JoinConfigFiles writes: "[FMK]" CR LF, the Fieldmark file as read, CR LF,
// "[RST]" CR LF, the Rostrum file as read.
Result<QByteArray> JoinedConfigBytes(const QString &appDir, const QString &fieldmarkName, const QString &rostrumName);

// Writes lib/outName as "[FMK]" CR LF, the Fieldmark file as read, CR LF, "[RST]" CR LF,
// the Rostrum file as read; byte for byte, replacing an existing output.
Result<void> JoinConfigFiles(const QString &appDir, const QString &fieldmarkName, const QString &rostrumName,
                             const QString &outName, const FileSystem &fs = FileSystem::Real());

// What ReplaceIfUnchanged did: replaced the file, or found it changed and left it.
struct Replacement
{
    bool replaced = false;
    // The file as it is now: what was written, or what someone else left there.
    FileIo::FileVersion now;
};

// Replaces path with bytes only if it still holds expected (a missing file when expected is
// absent), all under the lock of its folder that every instance of the program takes, so two
// saves of one file cannot both pass the compare. whileWaiting runs while another holds it.
Result<Replacement> ReplaceIfUnchanged(const QString &path, const FileIo::FileVersion &expected,
                                       const QByteArray &bytes, const std::function<void()> &whileWaiting = {});

} // namespace ConfigStore
