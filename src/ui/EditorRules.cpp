#include "ui/EditorRules.h"

#include "app/Session.h"
#include "config/ConfigRecord.h"
#include "platform/FileIo.h"
#include "platform/VbText.h"

#include <QComboBox>
#include <QLabel>

namespace EditorRules {

void FillPlatformList(Session &session, QComboBox &platforms)
{
    platforms.clear();
    platforms.addItem(session.GetText(QStringLiteral("SLBL0464")));
    platforms.addItem(session.GetText(QStringLiteral("SLBL0259")));
}

qint16 ChosenPlatform(const QComboBox &platforms)
{
    return platforms.currentIndex() == 1 ? ServerNamePlatform : FirstPlatform;
}

void SetDatabaseLabels(Session &session, const QComboBox &platforms, QLabel &database, QLabel &machine)
{
    const bool second = ChosenPlatform(platforms) == ServerNamePlatform;
    database.setText(session.GetText(second ? QStringLiteral("SLBL0285") : QStringLiteral("SLBL0135")));
    machine.setText(session.GetText(second ? QStringLiteral("SLBL0509") : QStringLiteral("SLBL0508")));
}

QString WebDirectoryRefusal(Session &session, const QString &typed)
{
    // A folder given as blanks only names nothing.
    if (typed.isEmpty())
        return session.GetText(QStringLiteral("SLBL0494"));
    if (!FileIo::PathExists(Vb::Trim(typed)))
        return session.GetText(QStringLiteral("SLBL0498"));
    return QString();
}

} // namespace EditorRules
