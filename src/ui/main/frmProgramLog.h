#pragma once

#include "platform/FileTail.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QStringList>

class QPlainTextEdit;
class QTimer;

// The end of a configuration's program logs, read-only, following new lines as they come
// unless the operator has scrolled up to read. Each log's part is headed with its file and the
// programs that write it (kind, pid).
class frmProgramLog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmProgramLog)
public:
    // writers: what writes each log now, by its path ("console pid 1234"); a log no program
    // writes now is headed with its name only.
    frmProgramLog(const QString &title, const QStringList &logFiles, const QHash<QString, QString> &writers,
                  QWidget *parent);

private:
    void Follow();

    QList<FileTail> m_files;
    QHash<QString, QString> m_writers;
    QString m_lastShown;
    // The view stays at the end as lines come, until the operator scrolls away from it.
    bool m_following = true;
    QPlainTextEdit *txtLog;
    QTimer *m_follow;
};
