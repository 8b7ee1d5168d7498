#pragma once

#include "app/Messages.h"
#include "platform/FileIo.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;
class Session;

// How an editor saves a file the user loaded when others may change it meanwhile: the file
// is replaced only if it still holds what was loaded; otherwise the user is asked.
namespace SaveLoadedFile {

enum class Outcome {
    Saved,      // written; loaded now holds what was written
    ShowTheirs, // the user wants the other version: the editor loads the file again
    NotSaved,   // cancelled, refused or failed; told already, nothing written
};

// What to do when the file has gone: ask before making it anew (default No), or never.
enum class WhenGone { AskToCreate, NeverCreate };

struct Request
{
    QString path;
    // The file as loaded (absent for a new file); updated to what is on disk after a save.
    FileIo::FileVersion *loaded = nullptr;
    WhenGone whenGone = WhenGone::AskToCreate;
    // The bytes to write over base, the version of the file they replace.
    std::function<QByteArray(const FileIo::FileVersion &base)> compose;
    // Shown before the reason when the write fails ("could not be written").
    QString failureText;
};

// Compares and replaces under the folder's lock, with a busy cursor while another process
// holds it; asks on a change (show theirs, overwrite, Cancel by default) and names the file,
// its new time and owner.
Outcome Save(Session &session, QWidget *asker, const Request &request);

// Both editors' question when Escape would drop changes: Yes saves, No drops them, Cancel
// keeps the window open.
MsgResult AskToSaveChanges(Session &session, QWidget *asker, const QString &fileName);

} // namespace SaveLoadedFile
