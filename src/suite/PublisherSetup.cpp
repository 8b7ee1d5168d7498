#include "suite/PublisherSetup.h"

#include "app/Session.h"
#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "suite/BackendChecks.h"
#include "suite/JointFile.h"
#include "suite/PublisherConnections.h"

namespace PublisherSetup {

bool OpenConnections(Session &session, PublisherConnections &connections, const QList<ConfigEntry> &selectedEntries)
{
    for (const ConfigEntry &entry : selectedEntries) {
        const Product *product = ProductWithCode(entry.ProductCode);
        const int which = product ? product->mergeSplitSlot : -1;
        if (which < 0)
            continue;
        const Result<void> opened =
            connections.Waited<void>(DataSourceWait(entry.Dsn), [which, entry](PublisherConnections &on, const Worker::Stop &) {
                return on.Open(which, entry.Dsn, entry.User, entry.Password);
            });
        if (!opened && Worker::IsCancelled(opened.error()))
            return false;
        if (!opened) {
            // The operator can correct the data source and try again: the program goes on.
            session.MsgBox(QStringLiteral("Database connection failed for %1 DSN.\r\n").arg(ProductNames[which])
                               + opened.error().description,
                           MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
    }
    return true;
}

bool CheckConnections(Session &session, const PublisherConnections &connections, qint64 *columnSize)
{
    for (int which : {0, 1}) {
        if (!connections.Get(which)) {
            session.MsgBox(QStringLiteral("The %1 database is not connected: select a %1 configuration for "
                                          "Merge and Split.")
                               .arg(ProductNames[which]),
                           MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
    }
    const Result<qint64> size = connections.Waited<qint64>(
        QStringLiteral("the Fieldmark and Rostrum databases"),
        [](PublisherConnections &on, const Worker::Stop &) { return on.PublisherColumnSize(); });
    if (!size && Worker::IsCancelled(size.error()))
        return false;
    if (!size) {
        session.MsgBox(QStringLiteral("The bus component table could not be read.\r\n") + size.error().description,
                       MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    *columnSize = size.value();
    return true;
}

bool CheckPickedConfigsReadBack(Session &session)
{
    // The joint file is read key by key through the INI functions, which trim and unquote:
    // a value they would change would start the servers with other settings (a wrong password).
    for (const QString &name : {session.MnSFieldmarkConfig, session.MnSRostrumConfig}) {
        const Result<QString> text = FileIo::ReadAnsiText(session.ConfigDirectory + u'/' + name);
        if (!text) {
            session.MsgBox(QStringLiteral("The configuration \"%1\" could not be read.\r\n").arg(name)
                               + text.error().description,
                           MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
        for (const QString &line : FileIo::SplitLines(text.value())) {
            QString key, value;
            if (ConfigFormat::SplitLine(line, &key, &value) != ConfigFormat::LineKind::KeyValue)
                continue;
            const QString why = JointFile::WhyValueChangesOnReading(value);
            if (!why.isEmpty()) {
                session.MsgBox(QStringLiteral("The value of \"%1\" in \"%2\" would not read back as it stands from "
                                              "the Merge and Split file: %3. Change it in the configuration editor "
                                              "first.")
                                   .arg(key, name, why),
                               MsgIcon::Critical, MsgButtons::Ok);
                return false;
            }
        }
    }
    return true;
}

bool UpdatePublisher(Session &session, const PublisherConnections &connections, const QString &publisher)
{
    const Result<void> updated = connections.Waited<void>(
        QStringLiteral("the Fieldmark and Rostrum databases"),
        [publisher](PublisherConnections &on, const Worker::Stop &stop) { return on.UpdatePublisherForAllTables(publisher, &stop); });
    if (updated)
        return true;
    if (Worker::IsCancelled(updated.error()))
        return false;
    session.MsgBox(QStringLiteral("Error occured while updating database.\r\n") + updated.error().description, MsgIcon::None,
                   MsgButtons::Ok);
    return false;
}

bool WriteJointFile(Session &session, const QString &fileName)
{
    const Result<void> joined =
        ConfigStore::JoinConfigFiles(session.AppDir(), session.MnSFieldmarkConfig, session.MnSRostrumConfig, fileName);
    if (!joined) {
        // Nothing half-made is left: the joint file is written whole or not at all.
        session.MsgBox(QStringLiteral("The Merge and Split file \"%1\" could not be written.\r\n").arg(fileName)
                           + joined.error().description,
                       MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    const QString path = session.ConfigDirectory + u'/' + fileName;
    const QString autoLogin = Key::AutoLogin;
    if (!JointFile::WriteAttributeValueToTSY(path, JointFile::RST, autoLogin, QStringLiteral("1"))
        || !JointFile::WriteAttributeValueToTSY(path, JointFile::FMK, autoLogin, QStringLiteral("1"))) {
        session.MsgBox(QStringLiteral("Auto login could not be set in the Merge and Split file \"%1\".").arg(fileName),
                       MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    session.MnSFieldmarkConfig.clear();
    session.MnSRostrumConfig.clear();
    return true;
}

} // namespace PublisherSetup
