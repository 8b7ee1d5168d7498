// TEMPORARY until the publisher dialog lands: an empty window so that the main window links.
#include "mergesplit/frmMergeAndSplit.h"

frmMergeAndSplit::frmMergeAndSplit(Session &session, const QList<ConfigEntry> &, QWidget *owner)
    : QDialog(owner), m_session(session)
{
    setObjectName(QStringLiteral("frmMergeAndSplit"));
}
