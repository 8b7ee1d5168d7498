// The Windows command-line splitter over any text.

#include "FuzzSupport.h"

#include "platform/Process.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = QString::fromUtf8(Fuzz::Bytes(data, size));
    const QStringList parts = Process::SplitCommandLine(line);
    FUZZ_CHECK(!parts.isEmpty());
    // Without quotes and backslashes the rules come down to splitting at blanks and tabs.
    if (!line.contains(u'"') && !line.contains(u'\\')) {
        static const QRegularExpression separators(QStringLiteral("[ \\t]+"));
        QStringList expected = line.split(separators);
        const QString program = expected.takeFirst();
        expected.removeAll(QString());
        expected.prepend(program);
        FUZZ_CHECK(parts == expected);
    }
    return 0;
}
