#include "ui/main/frmProgramLog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// What is shown of each log at first: its end, as tail would.
constexpr qint64 kTail = 64 * 1024;
} // namespace

frmProgramLog::frmProgramLog(const QString &title, const QStringList &logFiles, QWidget *parent)
    : QDialog(parent), txtLog(new QPlainTextEdit(this)), m_follow(new QTimer(this))
{
    setObjectName(QStringLiteral("frmProgramLog"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(820, 480);
    txtLog->setObjectName(QStringLiteral("txtLog"));
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setMaximumBlockCount(20000);
    txtLog->setFont(QFont(QStringLiteral("monospace")));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addWidget(txtLog, 1);
    column->addWidget(buttons);
    for (const QString &path : logFiles)
        m_files.append({path, qMax<qint64>(0, QFileInfo(path).size() - kTail)});
    Follow();
    m_follow->setInterval(500);
    connect(m_follow, &QTimer::timeout, this, &frmProgramLog::Follow);
    m_follow->start();
}

void frmProgramLog::Follow()
{
    QScrollBar *bar = txtLog->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    for (Followed &f : m_files) {
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // A log emptied or replaced outside is read again from its start.
        if (file.size() < f.read)
            f.read = 0;
        if (file.size() == f.read || !file.seek(f.read))
            continue;
        const QByteArray bytes = file.read(4 * kTail);
        f.read += bytes.size();
        // Like tail with several files: a header whenever the file changes. Inserted as it
        // comes, so a line written in two pieces stays one line.
        QTextCursor end(txtLog->document());
        end.movePosition(QTextCursor::End);
        if (m_lastShown != f.path) {
            const bool first = m_lastShown.isEmpty();
            end.insertText(QStringLiteral("%1==> %2 <==\n").arg(first ? QString() : QStringLiteral("\n"), f.path));
            m_lastShown = f.path;
        }
        end.insertText(QString::fromLocal8Bit(bytes));
    }
    // Following only while the user has not scrolled up to read.
    if (atEnd)
        bar->setValue(bar->maximum());
}
