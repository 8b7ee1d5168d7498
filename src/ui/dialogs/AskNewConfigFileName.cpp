#include "ui/dialogs/AskNewConfigFileName.h"

#include "app/Session.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "ui/dialogs/frmConfigFileSelector.h"

std::optional<QString> AskNewConfigFileName(Session &session, QWidget *asker)
{
    frmConfigFileSelector &dialog = frmConfigFileSelector::Instance(session);
    dialog.exec();
    const QString text = dialog.FileName();
    if (!dialog.Confirmed() || text.isEmpty())
        return std::nullopt;

    const QString name = ConfigStore::StoredConfigFileName(text);
    if (name.isEmpty())
        return std::nullopt;
    const QString candidate = session.ConfigDirectory() + u'/' + name;
    // The question names the file, and Enter answers No: replacing takes a deliberate Yes.
    if (FileIo::PathExists(candidate)
        && session.MsgBox(asker, session.GetText(QStringLiteral("SLBL0227")) + QStringLiteral("\r\n\r\n") + name,
                          MsgIcon::None, MsgButtons::YesNoDefaultNo)
               != MsgResult::Yes)
        return std::nullopt;
    return candidate;
}
