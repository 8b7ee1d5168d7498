#include "suite/MergeSplitLaunch.h"

#include "app/Messages.h"
#include "config/ConfigStore.h"
#include "config/PasswordScramble.h"
#include "config/SuiteDatabase.h"
#include "suite/JointFile.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "platform/Odbc.h"
#include "platform/Process.h"
#include "platform/SharedFolder.h"
#include "platform/Worker.h"
#include "suite/BackendChecks.h"
#include "suite/ServerCommands.h"


#include <array>

namespace {

using JointFile::FMK, JointFile::RST;

const QString PublisherPlaceholder = QStringLiteral("<PublisherBuscomponent>");
const QString ConsumerPlaceholder = QStringLiteral("<ConsumerBusComponents>");
const QString PropertiesFile = QStringLiteral("eventdispatcher.properties");
const QString StartFile = QStringLiteral("startEventDispatcher.bat");
// Copied in this order into each dispatcher's folder.
const QStringList TemplateFiles = {QStringLiteral("eventdispatcher.jar"), StartFile, PropertiesFile};

// The joint file's text as one reading found it: every value of one start is taken from it,
// so that a colleague's save meanwhile cannot mix old and new values. A file that cannot be
// read has no keys, as for the profile functions.
QString ReadJointText(const QString &path)
{
    const Result<QString> text = FileIo::ReadAnsiText(path);
    return text ? text.value() : QString();
}

QString Attribute(const QString &jointText, const QString &section, QLatin1StringView key)
{
    return JointFile::GetAttributeValueFromText(jointText, section, key);
}

Failure LaunchFailure(const QString &description)
{
    return {ErrorNumber::LaunchFailed, description};
}

// The modes of the copies: none writable by the group, so that no colleague changes one in
// place; a colleague's own copy replaces the file, is no longer this user's, and is written
// anew before this user's next start.
mode_t CopyMode(const QString &name) { return name == StartFile ? 0750 : 0640; }

// Writes bytes as name in folder, whole or not at all, with the copy's mode. A file of this
// user that already holds exactly this with that mode is left alone: a repeated launch
// rewrites nothing.
Result<void> WriteCopy(const SharedFolder::Folder &folder, const QString &name, const QByteArray &bytes)
{
    if (folder.WhyNotOwnProgram(name).IsEmpty()) {
        const Result<SharedFolder::OpenedFile> existing = folder.OpenRead(name);
        if (existing && (existing->st.st_mode & 07777) == CopyMode(name)) {
            const Result<QByteArray> held = FileIo::ReadBytes(folder.PathOf(name));
            if (held && held.value() == bytes)
                return {};
        }
    }
    return folder.Replace(name, bytes, CopyMode(name));
}

Result<void> OpenSection(Odbc::Connection &connection, const QString &jointText, const QString &section)
{
    return SuiteDatabase::OpenByConnectionString(connection, Attribute(jointText, section, Key::Dsn),
                                                 Attribute(jointText, section, Key::User),
                                                 UnscramblePassword(Attribute(jointText, section, Key::Password)));
}

// Reads every publisher/consumer row of one section's database and hands it to take.
template <typename Take>
Result<void> ReadPublishers(const QString &jointText, const QString &section, Take take)
{
    Odbc::Connection connection;
    if (Result<void> opened = OpenSection(connection, jointText, section); !opened)
        return opened;
    const auto rows = connection.Query(SuiteDatabase::DispatcherQuery());
    if (!rows)
        return rows.error();
    for (;;) {
        const Result<bool> onRow = rows.value()->Next();
        if (!onRow)
            return onRow.error();
        if (!onRow.value())
            return {};
        const Result<QVariant> publisher = rows.value()->Field(QStringLiteral("publisherBC"));
        if (!publisher)
            return publisher.error();
        const Result<QVariant> consumer = rows.value()->Field(QStringLiteral("BCName"));
        if (!consumer)
            return consumer.error();
        take(publisher.value().toString(), consumer.value().toString());
    }
}

} // namespace

Result<void> PrepareAndStartDispatcher(const SuiteContext &suite, const QString &jointFilePath,
                                       const DispatcherRecord &record)
{
    // The templates are run as this user: only if no other account could have changed them.
    // The publisher's folder is used only when it is a folder and not a link to one.
    const Result<SharedFolder::Folder> components = SharedFolder::Folder::Open(ConfigStore::ComponentsDirectory(suite.appDir));
    if (!components)
        return components.error();
    const Result<SharedFolder::Folder> made = components->MakeSub(record.PublisherBusComp);
    if (!made)
        return LaunchFailure(suite.messages.Text("CS_RUN_FOLDER_UNUSABLE")
                                 .arg(components->PathOf(record.PublisherBusComp), suite.messages.Text(made.error().Text())));
    const SharedFolder::Folder &target = made.value();
    const QString folder = target.Path();
    for (const QString &name : TemplateFiles) {
        const Result<QByteArray> read = components->ReadTrusted(name, -1);
        if (!read)
            return read.error();
        QByteArray bytes = read.value();
        if (name == PropertiesFile) {
            // The copy is filled in as it is made, so it is written once.
            QString text = Ansi::Decode(bytes);
            text.replace(PublisherPlaceholder, record.PublisherBusComp);
            text.replace(ConsumerPlaceholder, record.ClientBusComp);
            if (!Ansi::CanEncode(text))
                return LaunchFailure(suite.messages.Text("CS_RUN_NAMES_NOT_STORABLE").arg(record.PublisherBusComp, PropertiesFile));
            bytes = Ansi::Encode(text);
        }
        if (Result<void> written = WriteCopy(target, name, bytes); !written)
            return written;
    }
    // Looked at again right before the start: a copy someone replaced since is not run.
    if (const QString why = suite.messages.Text(target.WhyNotOwnProgram(StartFile)); !why.isEmpty())
        return LaunchFailure(suite.messages.Text("CS_RUN_NOT_STARTED").arg(target.PathOf(StartFile), why));

    // Quoted: the application directory may hold blanks.
    return StartRecordedProgram(suite, RunKind::Dispatcher, {jointFilePath}, record.PublisherBusComp,
                                u'"' + folder + u'/' + StartFile + u'"');
}

bool RunMergeAndSplit(const SuiteContext &suite, const QString &jointFilePath)
{
    const bool fieldmarkConsole = StartServerConsole(suite, jointFilePath, FMK);
    const bool rostrumConsole = StartServerConsole(suite, jointFilePath, RST);

    // One reading for both sections and the dispatchers.
    const QString jointText = ReadJointText(jointFilePath);
    const Result<QString> fieldmark = BuildMnSJavaArgumentFromText(suite.messages, jointText, FMK);
    const Result<QString> rostrum = fieldmark ? BuildMnSJavaArgumentFromText(suite.messages, jointText, RST) : fieldmark;
    const Result<void> started =
        rostrum ? StartJavaServerProgram(suite, fieldmark.value() + u' ' + rostrum.value(), {jointFilePath})
                : Result<void>(rostrum.error());
    if (!started && Worker::IsCancelled(started.error()))
        return false; // the operator stopped waiting: nothing more starts
    if (!started) {
        // The server consoles already started keep running.
        Tell(suite.messages,
             suite.messages.Text("CS_RUN_JOINT_ERRORS") + QStringLiteral("\r\n") + suite.messages.Text(started.error().Text()));
        // Without its server name only the Java server is left out; the dispatchers do not need it.
        if (started.error().kind != FailureKind::ServerNameUnknown)
            return false;
    }
    const bool dispatchers = ExecuteDispatcherFromText(suite, jointFilePath, jointText);
    return fieldmarkConsole && rostrumConsole && started && dispatchers;
}

bool StartServerConsole(const SuiteContext &suite, const QString &jointFilePath, const QString &section)
{
    return StartServerConsoleProgram(suite, ServerConsoleCommandLine(jointFilePath, section), jointFilePath, section);
}

Result<QString> BuildMnSJavaArgument(Messages &messages, const QString &jointFilePath, const QString &section)
{
    return BuildMnSJavaArgumentFromText(messages, ReadJointText(jointFilePath), section);
}

Result<QString> BuildMnSJavaArgumentFromText(Messages &messages, const QString &jointText, const QString &section)
{
    const QString application = Attribute(jointText, section, Key::SatelliteAppln);
    const QString dsn = Attribute(jointText, section, Key::Dsn);
    const QString user = Attribute(jointText, section, Key::User);
    const QString password = UnscramblePassword(Attribute(jointText, section, Key::Password));
    const QString platformText = Attribute(jointText, section, Key::Ldbp);

    const Result<qint16> platform = Vb::CInt(platformText);
    if (!platform)
        return Failure{platform.error().number,
                         messages.Text(Wording("CS_RUN_PLATFORM_NOT_NUMBER", {section, Vb::CIntRefusal(platformText, platform.error())}))};
    QString server = dsn;
    if (platform.value() == ServerNamePlatform) {
        const Result<QString> looked = WaitForServerName(messages, dsn, user, password);
        if (!looked && Worker::IsCancelled(looked.error()))
            return looked.error();
        // Started with an empty server name, the Java server would serve no database.
        if (!looked)
            return Failure{ErrorNumber::LaunchFailed,
                             messages.Text("CS_RUN_NO_SERVER_NAME").arg(dsn, section) + QStringLiteral("\r\n")
                                 + messages.Text(looked.error().Text()),
                           FailureKind::ServerNameUnknown};
        server = looked.value();
    }
    return JavaServerValue(application, server, user, password, platformText);
}

void AddDispatcherRow(QList<DispatcherRecord> &list, const QString &publisher, const QString &consumer)
{
    for (DispatcherRecord &record : list) {
        if (record.PublisherBusComp != publisher)
            continue;
        const QStringList consumers = record.ClientBusComp.split(u';', Qt::SkipEmptyParts);
        if (!consumer.isEmpty() && !consumers.contains(consumer))
            record.ClientBusComp = (consumers + QStringList{consumer}).join(u';');
        return;
    }
    list.append({publisher, consumer});
}

QString WhyNotPropertiesName(Messages &messages, const QString &name)
{
    for (QChar c : name) {
        if (c == u'\r' || c == u'\n')
            return messages.Text("CS_NAME_LINE_BREAK");
        if (c == u';')
            return messages.Text("CS_NAME_SEMICOLON");
        // The file is read as ISO-8859-1 with "\" as its escape character.
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u > 0xFF || c == u'\\')
            return messages.Text("CS_NAME_CHARACTER")
                .arg(QString::number(u, 16).toUpper().rightJustified(4, u'0'), PropertiesFile);
    }
    return QString();
}

QString WhyNotBusComponentName(Messages &messages, const QString &name)
{
    if (!FileIo::IsValidFileName(name))
        return messages.Text("CS_NAME_NOT_A_FOLDER");
    return WhyNotPropertiesName(messages, name);
}

namespace {

// Line breaks and other control characters shown as \r, \n, \xNN, so a message names them.
QString Visible(const QString &name)
{
    QString out;
    for (QChar c : name) {
        if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out;
}

} // namespace

bool ExecuteDispatcher(const SuiteContext &suite, const QString &jointFilePath)
{
    return ExecuteDispatcherFromText(suite, jointFilePath, ReadJointText(jointFilePath));
}

bool ExecuteDispatcherFromText(const SuiteContext &suite, const QString &jointFilePath, const QString &jointText)
{
    QList<DispatcherRecord> dispatchers;
    QStringList refused, refusals;
    auto fail = [&suite](const Failure &error) {
        Tell(suite.messages,
             suite.messages.Text("CS_RUN_DISPATCHER_NOT_STARTED") + QStringLiteral("\r\n")
                 + suite.messages.Text("CS_RUN_DISPATCHER_REASON") + QStringLiteral(" \r\n") + error.description);
        return false;
    };
    // One record per publisher over both databases, Fieldmark's rows first; a publisher with
    // a row whose names the dispatcher cannot be given is left out whole.
    auto reader = [&](const QString &database) {
        return [&, database, row = 0](const QString &publisherRead, const QString &consumerRead) mutable {
            ++row;
            const QString publisher = Vb::Trim(publisherRead);
            const QString consumer = Vb::Trim(consumerRead);
            QString why = WhyNotBusComponentName(suite.messages, publisher);
            const bool publisherWrong = !why.isEmpty();
            if (!publisherWrong)
                why = WhyNotPropertiesName(suite.messages, consumer);
            if (why.isEmpty()) {
                AddDispatcherRow(dispatchers, publisher, consumer);
                return;
            }
            if (refused.contains(publisher))
                return;
            refused << publisher;
            refusals << suite.messages.Text(publisherWrong ? "CS_RUN_ROW_PUBLISHER_REFUSED" : "CS_RUN_ROW_CONSUMER_REFUSED")
                            .arg(QString::number(row), database, Visible(publisher), Visible(consumer), why);
        };
    };
    // Both databases are read on a worker thread; the rows are taken in here, in their order.
    using Rows = QList<std::pair<QString, QString>>;
    const Result<std::array<Rows, 2>> read =
        Worker::Run<std::array<Rows, 2>>(
            suite.messages.Text("CS_WAIT_PUBLISHERS").arg(Attribute(jointText, FMK, Key::Dsn), Attribute(jointText, RST, Key::Dsn)),
            [jointText](const Worker::Stop &) {
            std::array<Rows, 2> rows;
            for (int which : {0, 1}) {
                const Result<void> readOne = ReadPublishers(jointText, which == 0 ? FMK : RST,
                                                            [&](const QString &p, const QString &c) { rows[which].append({p, c}); });
                if (!readOne)
                    return Result<std::array<Rows, 2>>(readOne.error());
            }
            return Result<std::array<Rows, 2>>(rows);
        });
    if (!read && Worker::IsCancelled(read.error()))
        return false;
    if (!read)
        return fail(read.error());
    for (int which : {0, 1}) {
        auto take = reader(QLatin1String(MergeSplitProduct(which).name));
        for (const auto &[publisher, consumer] : read.value()[which])
            take(publisher, consumer);
    }
    dispatchers.removeIf([&](const DispatcherRecord &r) { return refused.contains(r.PublisherBusComp); });
    for (const QString &text : refusals)
        Tell(suite.messages, text, MsgIcon::Exclamation, MsgButtons::Ok);

    if (dispatchers.isEmpty()) {
        if (refused.isEmpty())
            Tell(suite.messages,
                 suite.messages.Text("CS_RUN_NO_PUBLISHER"),
                 MsgIcon::Information, MsgButtons::Ok);
        return refused.isEmpty();
    }
    for (const DispatcherRecord &record : dispatchers) {
        if (Result<void> started = PrepareAndStartDispatcher(suite, jointFilePath, record); !started)
            return fail(started.error());
    }
    return refused.isEmpty();
}
