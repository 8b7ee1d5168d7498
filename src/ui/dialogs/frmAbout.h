#pragma once

#include <QDialog>

class Session;

// The about box. Constructing it runs the load (texts and the version from the registry).
class frmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)
public:
    explicit frmAbout(Session &session, QWidget *parent = nullptr);

private:
    Session &m_session;
};
