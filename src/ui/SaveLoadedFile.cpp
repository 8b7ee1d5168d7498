#include "ui/SaveLoadedFile.h"

#include "app/Session.h"
#include "config/ConfigStore.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <QLocale>

namespace SaveLoadedFile {
namespace {

QString Shown(const QString &path) { return QDir::toNativeSeparators(path); }

QString ChangedQuestion(Session &session, const QString &path, const FileIo::FileVersion &now)
{
    const QString when = now.modified.isValid() ? QLocale().toString(now.modified, QLocale::ShortFormat)
                                                : session.Text("CS_SAVE_UNKNOWN_TIME");
    const QString who = now.owner.isEmpty() ? session.Text("CS_SAVE_UNKNOWN_USER") : session.Text("CS_SAVE_USER", now.owner);
    return session.Text("CS_SAVE_CHANGED", Shown(path), when, who);
}

} // namespace

Outcome Save(Session &session, QWidget *asker, const Request &request)
{
    FileIo::FileVersion expected = *request.loaded;
    // A file loaded from disk that is missing now: gone meanwhile, as if found so at the compare.
    bool mustExist = expected.exists;
    for (;;) {
        Result<ConfigStore::Replacement> done = ConfigStore::Replacement{false, FileIo::FileVersion{}};
        if (!mustExist || expected.exists) {
            QApplication::setOverrideCursor(Qt::BusyCursor);
            done = ConfigStore::ReplaceIfUnchanged(request.path, expected, request.compose(expected), [] {
                // Painted while another holds the lock, but no input: the save is under way.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
            QApplication::restoreOverrideCursor();
        }
        if (!done) {
            session.MsgBox(asker, request.failureText + QStringLiteral("\n\n") + session.Text(done.error().Text()),
                           MsgIcon::Critical, MsgButtons::Ok);
            return Outcome::NotSaved;
        }
        const FileIo::FileVersion &now = done.value().now;
        if (done.value().replaced) {
            *request.loaded = now;
            return Outcome::Saved;
        }
        if (!now.exists && mustExist) {
            if (request.whenGone == WhenGone::NeverCreate) {
                session.MsgBox(asker,
                               session.Text("CS_SAVE_GONE_JOINT", Shown(request.path)),
                               MsgIcon::Exclamation, MsgButtons::Ok);
                return Outcome::NotSaved;
            }
            if (session.MsgBox(asker,
                               session.Text("CS_SAVE_GONE", Shown(request.path)),
                               MsgIcon::Question, MsgButtons::YesNoDefaultNo)
                != MsgResult::Yes)
                return Outcome::NotSaved;
            mustExist = false;
            expected = now;
            continue;
        }
        switch (session.MsgBox(asker, ChangedQuestion(session, request.path, now), MsgIcon::Exclamation,
                               MsgButtons::TheirsMineCancel)) {
        case MsgResult::Theirs: return Outcome::ShowTheirs;
        case MsgResult::Mine:
            // Compared again under the lock: a third change meanwhile is asked about again.
            expected = now;
            mustExist = now.exists;
            continue;
        default: return Outcome::NotSaved;
        }
    }
}

MsgResult AskToSaveChanges(Session &session, QWidget *asker, const QString &fileName)
{
    return session.MsgBox(asker, session.Text("CS_SAVE_CHANGES", fileName), MsgIcon::Question,
                          MsgButtons::YesNoCancel);
}

} // namespace SaveLoadedFile
