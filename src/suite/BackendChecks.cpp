#include "suite/BackendChecks.h"

#include "app/Messages.h"
#include "config/SuiteDatabase.h"
#include "platform/Odbc.h"
#include "platform/Worker.h"


namespace {

// What a conversion of a null value reports.
Failure InvalidUseOfNull()
{
    return Failure::Worded(ErrorNumber::InvalidUseOfNull, Wording("CS_BACKEND_VERSION_EMPTY"));
}

Failure NotAVersion(const QString &text, const Failure &refused)
{
    return Failure::Worded(refused.number, Wording("CS_BACKEND_VERSION_REFUSED", {Vb::CIntRefusal(text, refused)}));
}

// The version as a 16-bit whole number: a whole-number column must fit, any other is
// converted by CInt; Null is an error.
Result<qint16> VersionOf(const QVariant &value)
{
    if (!value.isValid())
        return InvalidUseOfNull();
    if (value.typeId() == QMetaType::LongLong) {
        const qlonglong number = value.toLongLong();
        if (number < -32768 || number > 32767)
            return NotAVersion(QString::number(number), Vb::Overflow());
        return qint16(number);
    }
    const Result<qint16> version = Vb::CInt(value.toString());
    if (!version)
        return NotAVersion(value.toString(), version.error());
    return version;
}

// The back-end version in the first row of tsparameters, read on an open connection; 0 when
// the table has no row.
Result<qint16> ReadBackendVersion(Odbc::Connection &connection)
{
    const auto rows = connection.Query(SuiteDatabase::BackendVersionQuery());
    if (!rows)
        return rows.error();
    const Result<bool> onRow = rows.value()->Next();
    if (!onRow)
        return onRow.error();
    if (!onRow.value())
        return qint16(0);
    const Result<QVariant> value = rows.value()->Field(QStringLiteral("backendversion"));
    if (!value)
        return value.error();
    return VersionOf(value.value());
}

} // namespace

Result<QString> LookUpServerName(const QString &dsn, const QString &user, const QString &password)
{
    Odbc::Connection connection;
    if (const Result<void> opened = SuiteDatabase::OpenByDataSource(connection, dsn, user, password); !opened)
        return opened.error();
    return connection.ServerName();
}

QString DataSourceWait(Messages &messages, const QString &dsn)
{
    return messages.Text("CS_WAIT_DATA_SOURCE").arg(dsn);
}

Result<QString> WaitForServerName(Messages &messages, const QString &dsn, const QString &user, const QString &password)
{
    return Worker::Run<QString>(DataSourceWait(messages, dsn),
                                [=](const Worker::Stop &) { return LookUpServerName(dsn, user, password); });
}

std::optional<QString> getTNSName(Messages &messages, const QString &sDSNname, const QString &sUsername,
                                  const QString &sPassword)
{
    const Result<QString> name = WaitForServerName(messages, sDSNname, sUsername, sPassword);
    if (!name && Worker::IsCancelled(name.error()))
        return std::nullopt;
    if (!name) {
        Tell(messages, messages.Text(name.error().Text()));
        return QString();
    }
    return name.value();
}

bool CheckBackendVersion(Messages &messages, const QString &dsn, const QString &user, const QString &password)
{
    const Result<qint16> version = Worker::Run<qint16>(DataSourceWait(messages, dsn), [=](const Worker::Stop &) {
        Odbc::Connection connection;
        const Result<void> opened = SuiteDatabase::OpenByDataSource(connection, dsn, user, password);
        return opened ? ReadBackendVersion(connection) : Result<qint16>(opened.error());
    });
    if (!version && Worker::IsCancelled(version.error()))
        return false;
    if (!version) {
        Tell(messages, messages.Text(version.error().Text()));
        return false;
    }
    return version.value() == 6;
}

namespace {

template <typename Lookup>
ConnectionTexts Worded(Lookup text)
{
    return {text("CS_TEST_FAILED"), text("CS_TEST_VERSION_UNREAD"), text("CS_TEST_CONNECTED"), text("CS_TEST_NEEDS_SIX")};
}

} // namespace

ConnectionTexts ConnectionTexts::Of(Messages &messages)
{
    return Worded([&messages](const char *label) { return messages.Text(label); });
}

Result<QString> DescribeConnection(ConnectionForm form, bool secondPlatform, const QString &dsn, const QString &user,
                                   const QString &password, const ConnectionTexts *texts)
{
    static const ConnectionTexts english =
        Worded([](const char *label) { return LocalisedText::BuiltIn().value(QLatin1String(label)); });
    const ConnectionTexts &t = texts ? *texts : english;
    Odbc::Connection connection;
    // The data source the failure, if any, is told of.
    QString source = dsn;
    Result<void> opened;
    if (form == ConnectionForm::ConnectionString) {
        opened = SuiteDatabase::OpenByConnectionString(connection, dsn, user, password);
    } else {
        // As the Java server's start does: on the second platform the server name, looked
        // up through the configured data source, is the data source of the version check.
        if (secondPlatform) {
            const Result<QString> server = LookUpServerName(dsn, user, password);
            if (server)
                source = server.value();
            else
                opened = server.error();
        }
        if (opened)
            opened = SuiteDatabase::OpenByDataSource(connection, source, user, password);
    }
    const Result<QString> serverName = opened ? connection.ServerName() : Result<QString>(opened.error());
    if (!serverName)
        return Failure{serverName.error().number, t.failed.arg(source) + QStringLiteral("\r\n") + serverName.error().description};
    const Result<qint16> version = ReadBackendVersion(connection);
    if (!version)
        return Failure{version.error().number,
                       t.versionUnread.arg(serverName.value()) + QStringLiteral("\r\n") + version.error().description};
    const QString report =
        t.connected.arg(serverName.value(), QString::number(version.value()));
    if (version.value() == 6)
        return report;
    return Failure{ErrorNumber::LaunchFailed,
                   report + QStringLiteral("\r\n") + t.needsVersionSix};
}

void TestConnection(Messages &messages, ConnectionForm form, bool secondPlatform, const QString &dsn,
                    const QString &user, const QString &password)
{
    // The login may take up to its time-out; the window offers to stop waiting meanwhile.
    const ConnectionTexts texts = ConnectionTexts::Of(messages);
    const Result<QString> tested = Worker::Run<QString>(DataSourceWait(messages, dsn), [=](const Worker::Stop &) {
        return DescribeConnection(form, secondPlatform, dsn, user, password, &texts);
    });
    if (!tested && Worker::IsCancelled(tested.error()))
        return;
    Tell(messages, tested ? tested.value() : tested.error().description,
         tested ? MsgIcon::Information : MsgIcon::Exclamation, MsgButtons::Ok);
}
