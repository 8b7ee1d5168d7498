#pragma once

#include <QDialog>

class Session;

// The editor of a joint (merge-and-split) configuration file, SelectedConfigPath of the
// session. Constructing it runs the window's load.
class frmEditConfigurationMergeSplit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEditConfigurationMergeSplit)
public:
    explicit frmEditConfigurationMergeSplit(Session &session, QWidget *parent = nullptr);

private:
    Session &m_session;
};
