#include "ui/dialogs/AskNewConfigFileName.h"

#include "app/Session.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "ui/dialogs/frmConfigFileSelector.h"

bool AskNewConfigFileName(Session &session, QString &path)
{
    path.clear();
    frmConfigFileSelector &dialog = frmConfigFileSelector::Instance(session);
    dialog.exec();
    const QString text = dialog.FileName();
    if (!dialog.Confirmed() || text.isEmpty())
        return false;

    const QString candidate = session.ConfigDirectory + u'/' + ConfigStore::AddConfigExtension(text);
    if (FileIo::PathExists(candidate)
        && session.MsgBox(session.GetText(QStringLiteral("SLBL0227")), MsgIcon::None, MsgButtons::YesNo)
               != MsgResult::Yes)
        return false;
    path = candidate;
    return true;
}
