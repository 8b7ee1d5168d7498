#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QSocketNotifier;

// One inotify watch on a folder: reports by name the entries written, created, deleted,
// renamed or whose mode changed directly inside it. A single watch, whatever the number of
// files; a file replaced by a rename is reported by its name like any other change.
class DirectoryWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectoryWatch)
public:
    explicit DirectoryWatch(QObject *parent = nullptr);
    ~DirectoryWatch() override;

    // Watches folder instead of the folder watched before; false (and nothing watched) when
    // the system refuses it.
    bool Watch(const QString &folder);
    QString Folder() const { return m_folder; }

signals:
    // The names of the entries changed since the last report, read from one wake-up.
    void Changed(const QSet<QString> &names);
    // Events were lost (the kernel's queue overflowed), or the folder itself was deleted or
    // moved: what is in it has to be read again whole.
    void LostTrack();

private:
    void ReadEvents();

    int m_fd = -1;
    int m_watch = -1;
    QString m_folder;
    QSocketNotifier *m_notifier = nullptr;
};
