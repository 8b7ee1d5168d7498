#include "cli/ConsoleMessages.h"

#include "platform/Worker.h"

#include <cstdio>
#include <utility>

MsgResult ConsoleMessages::Show(const QString &text, MsgIcon, MsgButtons buttons, const QString &, QObject *)
{
    PrintError(text);
    return DefaultAnswer(buttons);
}

void PrintError(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "%s\n", qPrintable(plain));
    std::fflush(stderr);
}

void PrintOutput(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

namespace {

class TimedWait final : public Worker::WaitView
{
public:
    TimedWait(const QString &what, std::function<void()> cancel, int timeoutSeconds)
        : m_what(what), m_cancel(std::move(cancel)), m_timeoutSeconds(timeoutSeconds)
    {
        PrintError(QStringLiteral("Waiting for %1 (at most %2 s)...").arg(what).arg(timeoutSeconds));
    }
    void Elapsed(int seconds) override
    {
        if (seconds < m_timeoutSeconds || !m_cancel)
            return;
        PrintError(QStringLiteral("Gave up waiting for %1 after %2 s: the database does not answer. "
                                  "Nothing after it was started.")
                       .arg(m_what)
                       .arg(seconds));
        // Once: the wait ends now, and this view with it.
        std::exchange(m_cancel, nullptr)();
    }

private:
    QString m_what;
    std::function<void()> m_cancel;
    int m_timeoutSeconds;
};

} // namespace

DatabaseWaitLimit::DatabaseWaitLimit(int timeoutSeconds)
{
    Worker::SetWaitView([timeoutSeconds](const QString &what, std::function<void()> cancel) {
        return std::unique_ptr<Worker::WaitView>(std::make_unique<TimedWait>(what, std::move(cancel), timeoutSeconds));
    });
}

DatabaseWaitLimit::~DatabaseWaitLimit() { Worker::SetWaitView(nullptr); }
