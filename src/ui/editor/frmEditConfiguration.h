#pragma once

#include <QDialog>

class Session;

// The editor of one ordinary configuration file. Constructing it runs the window's load.
class frmEditConfiguration final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEditConfiguration)
public:
    explicit frmEditConfiguration(Session &session, QWidget *parent = nullptr);

private:
    Session &m_session;
};
