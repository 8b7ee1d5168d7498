#include "suite/PublisherSetup.h"

#include "app/Messages.h"
#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "suite/BackendChecks.h"
#include "suite/JointFile.h"
#include "suite/PublisherConnections.h"

namespace PublisherSetup {

bool OpenConnections(Messages &messages, PublisherConnections &connections, const QList<ConfigEntry> &selectedEntries)
{
    for (const ConfigEntry &entry : selectedEntries) {
        const Product *product = ProductWithCode(entry.ProductCode);
        const int which = product ? product->mergeSplitSlot : -1;
        if (which < 0)
            continue;
        const Result<void> opened =
            connections.Waited<void>(DataSourceWait(messages, entry.Dsn), [which, entry](PublisherConnections &on, const Worker::Stop &) {
                return on.Open(which, entry.Dsn, entry.User, entry.Password);
            });
        if (!opened && Worker::IsCancelled(opened.error()))
            return false;
        if (!opened) {
            // The operator can correct the data source and try again: the program goes on.
            Tell(messages,
                 messages.Text("CS_PUB_CONNECTION_FAILED").arg(ProductNames[which]) + QStringLiteral("\r\n")
                     + messages.Text(opened.error().Text()),
                 MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
    }
    return true;
}

std::optional<qint64> CheckConnections(Messages &messages, const PublisherConnections &connections)
{
    for (int which : {0, 1}) {
        if (!connections.Get(which)) {
            Tell(messages,
                 messages.Text("CS_PUB_NOT_CONNECTED").arg(ProductNames[which]),
                 MsgIcon::Critical, MsgButtons::Ok);
            return std::nullopt;
        }
    }
    const Result<qint64> size = connections.Waited<qint64>(
        messages.Text("CS_WAIT_BOTH_DATABASES"),
        [](PublisherConnections &on, const Worker::Stop &) { return on.PublisherColumnSize(); });
    if (!size && Worker::IsCancelled(size.error()))
        return std::nullopt;
    if (!size) {
        Tell(messages, messages.Text("CS_PUB_TABLE_UNREADABLE") + QStringLiteral("\r\n") + messages.Text(size.error().Text()));
        return std::nullopt;
    }
    return size.value();
}

bool CheckPickedConfigsReadBack(Messages &messages, const QString &configDirectory, const MergeSplitPick &pick)
{
    // The joint file is read key by key through the INI functions, which trim and unquote:
    // a value they would change would start the servers with other settings (a wrong password).
    for (const QString &name : pick) {
        const Result<QString> text = FileIo::ReadAnsiText(configDirectory + u'/' + name);
        if (!text) {
            Tell(messages,
                 messages.Text("CS_PUB_CONFIG_UNREADABLE").arg(name) + QStringLiteral("\r\n") + messages.Text(text.error().Text()),
                 MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
        for (const QString &line : FileIo::SplitLines(text.value())) {
            QString key, value;
            if (ConfigFormat::SplitLine(line, &key, &value) != ConfigFormat::LineKind::KeyValue)
                continue;
            const QString why = JointFile::WhyValueChangesOnReading(messages, value);
            if (!why.isEmpty()) {
                Tell(messages,
                     messages.Text("CS_PUB_VALUE_CHANGES").arg(key, name, why),
                     MsgIcon::Critical, MsgButtons::Ok);
                return false;
            }
        }
    }
    return true;
}

bool UpdatePublisher(Messages &messages, const PublisherConnections &connections, const QString &publisher)
{
    return UpdatePublisher(messages, connections, publisher, {});
}

bool UpdatePublisher(Messages &messages, const PublisherConnections &connections, const QString &publisher,
                     const std::function<void(int which)> &committed)
{
    const Result<void> updated = connections.Waited<void>(
        messages.Text("CS_WAIT_BOTH_DATABASES"),
        [publisher, committed](PublisherConnections &on, const Worker::Stop &stop) {
            return on.UpdatePublisherForAllTables(publisher, &stop, committed);
        });
    if (updated)
        return true;
    if (Worker::IsCancelled(updated.error()))
        return false;
    Tell(messages, messages.Text("CS_PUB_UPDATE_FAILED") + QStringLiteral("\r\n") + messages.Text(updated.error().Text()));
    return false;
}

bool WriteJointFile(Messages &messages, const QString &appDir, const MergeSplitPick &pick, const QString &fileName)
{
    // Written once, auto login included: no one ever sees a joint file without it.
    const Result<QByteArray> joined = ConfigStore::JoinedConfigBytes(appDir, pick[0], pick[1]);
    QString text = joined ? Ansi::Decode(joined.value()) : QString();
    const QString autoLogin = Key::AutoLogin;
    if (joined
        && (!JointFile::SetAttributeValueInText(text, JointFile::RST, autoLogin, QStringLiteral("1"))
            || !JointFile::SetAttributeValueInText(text, JointFile::FMK, autoLogin, QStringLiteral("1")))) {
        Tell(messages, messages.Text("CS_PUB_NO_AUTO_LOGIN").arg(fileName),
             MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    const Result<void> written =
        joined ? FileIo::WriteFileAtomic(ConfigStore::ConfigDirectory(appDir) + u'/' + fileName, Ansi::Encode(text))
               : Result<void>(joined.error());
    if (!written) {
        // Nothing half-made is left: the joint file is written whole or not at all.
        Tell(messages,
             messages.Text("CS_PUB_NOT_WRITTEN").arg(fileName) + QStringLiteral("\r\n") + messages.Text(written.error().Text()),
             MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    return true;
}

} // namespace PublisherSetup
