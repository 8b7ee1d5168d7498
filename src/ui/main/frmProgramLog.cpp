#include "ui/main/frmProgramLog.h"

#include "platform/FileTail.h"
#include "ui/Controls.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// What is shown of each log at first: its end, as tail would.
constexpr qint64 kTail = 64 * 1024;
} // namespace

frmProgramLog::frmProgramLog(const QString &title, const QStringList &logFiles, const QHash<QString, QString> &writers,
                             QWidget *parent)
    : QDialog(parent), m_writers(writers), txtLog(new QPlainTextEdit(this)), m_follow(new QTimer(this))
{
    setObjectName(QStringLiteral("frmProgramLog"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(820, 480);
    txtLog->setObjectName(QStringLiteral("txtLog"));
    Controls::SetAccessibleLabel(txtLog, "CS_ACCESSIBLE_PROGRAM_LOG");
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setMaximumBlockCount(20000);
    txtLog->setFont(QFont(QStringLiteral("monospace")));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    Controls::SetLabel(buttons->button(QDialogButtonBox::Close), "CS_LOG_CLOSE");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addWidget(txtLog, 1);
    column->addWidget(buttons);
    for (const QString &path : logFiles)
        m_files.append(FileTail(path, kTail));
    // Following is what the operator left it at: at the end, or scrolled up. A range that
    // grows (new lines, or a horizontal scroll bar taking a line's height) keeps the end in view.
    QScrollBar *bar = txtLog->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { m_following = value >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (m_following)
            bar->setValue(maximum);
    });
    Follow();
    m_follow->setInterval(500);
    connect(m_follow, &QTimer::timeout, this, &frmProgramLog::Follow);
    m_follow->start();
}

void frmProgramLog::Follow()
{
    QScrollBar *bar = txtLog->verticalScrollBar();
    const bool following = m_following;
    for (FileTail &f : m_files) {
        const QByteArray bytes = f.ReadNew(4 * kTail);
        if (bytes.isEmpty())
            continue;
        // Like tail with several files: a header whenever the file changes. Inserted as it
        // comes, so a line written in two pieces stays one line.
        QTextCursor end(txtLog->document());
        end.movePosition(QTextCursor::End);
        if (m_lastShown != f.Path()) {
            const bool first = m_lastShown.isEmpty();
            const QString writer = m_writers.value(f.Path());
            end.insertText(QStringLiteral("%1==> %2%3 <==\n")
                               .arg(first ? QString() : QStringLiteral("\n"), f.Path(),
                                    writer.isEmpty() ? QString() : QStringLiteral(" (") + writer + u')'));
            m_lastShown = f.Path();
        }
        end.insertText(QString::fromLocal8Bit(bytes));
    }
    // Following only while the user has not scrolled up to read.
    m_following = following;
    if (following)
        bar->setValue(bar->maximum());
}
