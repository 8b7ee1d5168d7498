#pragma once

#include <QByteArray>
#include <QString>

// Follows a file that grows, as tail -f does: each ReadNew gives what was appended since the
// last. A file that became shorter (emptied or replaced) is read again from its start.
class FileTail
{
public:
    // Starts at most startBytes before the file's end (at its start when it is missing).
    FileTail(const QString &path, qint64 startBytes);

    const QString &Path() const { return m_path; }
    // At most maxBytes of what is new; empty when nothing is, or the file cannot be read now.
    QByteArray ReadNew(qint64 maxBytes);

private:
    QString m_path;
    qint64 m_read = 0;
};
