#include "platform/FileTail.h"

#include "platform/FileIo.h"

#include <QFileInfo>

#include <unistd.h>

FileTail::FileTail(const QString &path, qint64 startBytes)
    : m_path(path), m_read(qMax<qint64>(0, QFileInfo(path).size() - startBytes))
{
}

QByteArray FileTail::ReadNew(qint64 maxBytes)
{
    // Opened as every file of log/: a link or FIFO put in the log's place is not followed.
    const QFileInfo info(m_path);
    const Result<SharedFolder::Folder> folder = SharedFolder::Folder::Open(info.path());
    if (!folder)
        return {};
    const Result<SharedFolder::OpenedFile> file = folder->OpenRead(info.fileName());
    if (!file)
        return {};
    const qint64 size = file->st.st_size;
    if (size < m_read)
        m_read = 0;
    if (size == m_read)
        return {};
    QByteArray bytes(qMin(maxBytes, size - m_read), Qt::Uninitialized);
    const ssize_t n = ::pread(file->handle->Fd(), bytes.data(), size_t(bytes.size()), m_read);
    if (n <= 0)
        return {};
    bytes.truncate(n);
    m_read += n;
    return bytes;
}
