#pragma once

#include "platform/FileTail.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QPlainTextEdit;
class QTimer;

// The end of a configuration's program logs, read-only, following new lines as they come.
class frmProgramLog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmProgramLog)
public:
    frmProgramLog(const QString &title, const QStringList &logFiles, QWidget *parent);

private:
    void Follow();

    QList<FileTail> m_files;
    QString m_lastShown;
    QPlainTextEdit *txtLog;
    QTimer *m_follow;
};
