// TEMPORARY until the about box lands: an empty window so that the main window links.
#include "ui/dialogs/frmAbout.h"

frmAbout::frmAbout(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmAbout"));
}
