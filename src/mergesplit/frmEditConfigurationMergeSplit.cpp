// TEMPORARY until the merge-and-split editor lands: an empty window so that the main window links.
#include "mergesplit/frmEditConfigurationMergeSplit.h"

frmEditConfigurationMergeSplit::frmEditConfigurationMergeSplit(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmEditConfigurationMergeSplit"));
}
