#pragma once

#include "app/Messages.h"

#include <QByteArray>
#include <QString>

// The messages of the subcommands: on standard error, never in a box, whatever display there
// is; a question gets the answer Enter would give, which never destroys or starts anything.
class ConsoleMessages final : public Messages
{
public:
    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                   QObject *asker) override;
};

// A line on standard error, Windows line ends made plain.
void PrintError(const QString &text);
// Results on standard output, written at once.
void PrintOutput(const QByteArray &bytes);
inline void PrintOutput(const QString &text) { PrintOutput(text.toLocal8Bit()); }

// While it lives, every wait on a database says what it waits for on standard error after a
// moment and is given up after timeoutSeconds with a message: a server that takes the login
// and never answers cannot hold a script for ever.
class DatabaseWaitLimit final
{
    Q_DISABLE_COPY_MOVE(DatabaseWaitLimit)
public:
    explicit DatabaseWaitLimit(int timeoutSeconds);
    ~DatabaseWaitLimit();
};
