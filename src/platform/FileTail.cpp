#include "platform/FileTail.h"

#include <QFile>
#include <QFileInfo>

FileTail::FileTail(const QString &path, qint64 startBytes)
    : m_path(path), m_read(qMax<qint64>(0, QFileInfo(path).size() - startBytes))
{
}

QByteArray FileTail::ReadNew(qint64 maxBytes)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.size() < m_read)
        m_read = 0;
    if (file.size() == m_read || !file.seek(m_read))
        return {};
    const QByteArray bytes = file.read(maxBytes);
    m_read += bytes.size();
    return bytes;
}
