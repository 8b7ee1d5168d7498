#pragma once

#include "config/ConfigRecord.h"

#include <QDialog>
#include <QList>

class Session;

// The publisher settings dialog. selectedEntries: the main window's selected list entries in
// list order. Constructing it runs the load, which opens the two database connections; when
// one fails the program ends through Session::Quit (check QuitRequested before exec()).
class frmMergeAndSplit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMergeAndSplit)
public:
    frmMergeAndSplit(Session &session, const QList<ConfigEntry> &selectedEntries, QWidget *owner);

private:
    Session &m_session;
};
