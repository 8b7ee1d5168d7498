// The quoting that builds child command lines: whatever the arguments, the child's splitter
// must give back exactly the arguments the program meant to pass.

#include "FuzzSupport.h"

#include "platform/Process.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::Bytes(data, size);
    if (input.isEmpty())
        return 0;
    // The first byte picks the form; the rest are the arguments, cut at 0x1E.
    const auto when = (input.at(0) & 1) ? Process::Quote::Always : Process::Quote::WhenNeeded;
    QStringList args;
    for (const QByteArray &field : input.mid(1).split('\x1e'))
        args << QString::fromUtf8(field);

    QString line = QStringLiteral("TessHost.exe");
    for (const QString &arg : args) {
        const QString quoted = Process::QuoteArgument(arg, when);
        // A value that needs no quotes reaches the command line byte for byte.
        if (when == Process::Quote::WhenNeeded && !arg.isEmpty() && !arg.contains(u' ') && !arg.contains(u'\t')
            && !arg.contains(u'"'))
            FUZZ_CHECK(quoted == arg);
        line += u' ' + quoted;
    }
    QStringList expected = args;
    expected.prepend(QStringLiteral("TessHost.exe"));
    FUZZ_CHECK(Process::SplitCommandLine(line) == expected);
    return 0;
}
