#pragma once

#include <QByteArray>
#include <QString>

// The text of the i-th configuration of a bench folder: all twenty keys, the three products
// in turn, a password, the data source dsn.
inline QByteArray ConfigText(int i, const QString &dsn)
{
    return QStringLiteral("SatelliteAppln=%1\r\nldbp=1\r\ndsn=%2\r\ndatabase=db\r\ndbmachinename=host\r\n"
                          "user=user\r\nsavepass=1\r\npassword=secret\r\nautologin=0\r\n"
                          "lhbuscomponent=cn=Bus, o=Norwen\r\nlogdirectory=/var/log/suite\r\nwebdirectory=\r\n"
                          "tablequeuetimer=\r\ntimer=\r\ngridcols=\r\npaneratio=\r\ncurrenttable=\r\nscreen=\r\n"
                          "batchsize=100\r\ndelay=30\r\n")
        .arg(i % 3 == 0 ? 4009 : i % 3 == 1 ? 1028 : 4010)
        .arg(dsn)
        .toLatin1();
}
