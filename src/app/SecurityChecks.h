#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What --check says of the machine beside the configurations: the warnings an administrator
// acts on so that the shared folders protect the operators as the README describes.
namespace SecurityChecks {

// The group the package gives the shared folders.
inline constexpr char kGroup[] = "tessaly";

// A warning when the mount table (the text of /proc/self/mounts) mounts /proc without
// hidepid, so that every account reads every command line (the Java server's holds database
// passwords); empty otherwise.
QString ProcWarning(const QByteArray &mounts);

// One warning for each of lib/, log/ and OAComponents/ of appDir (links followed) whose mode,
// owner or group departs from the package's layout: owner root, group kGroup, mode 2770
// (OAComponents 3770: sticky, so that no operator replaces the administrator's templates).
// Each names the folder and what it has.
QStringList FolderWarnings(const QString &appDir);

// Both, for the machine this runs on.
QStringList Warnings(const QString &appDir);

} // namespace SecurityChecks
