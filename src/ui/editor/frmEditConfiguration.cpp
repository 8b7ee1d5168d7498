// TEMPORARY until the editor lands: an empty window so that the main window links.
#include "ui/editor/frmEditConfiguration.h"

frmEditConfiguration::frmEditConfiguration(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmEditConfiguration"));
}
