// The least a Qt program does for the command-line mode's work: an application object,
// the eight fields split, the same twenty lines written through QSaveFile into lib/.
#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList fields = QCoreApplication::arguments().value(1).split(QStringLiteral(":::"));
    if (fields.size() < 8)
        return 2;
    QString password = fields[6];
    for (QChar &c : password)
        c = QChar(c.unicode() ^ 0xA7);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString text = QStringLiteral("SatelliteAppln=%1\r\nldbp=%2\r\ndsn=%3\r\ndatabase=%4\r\n"
                                        "dbmachinename=%5\r\nuser=%6\r\nsavepass=1\r\npassword=%7\r\n"
                                        "autologin=1\r\nlhbuscomponent=%8\r\nlogdirectory=%9/log\r\n")
                             .arg(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], password,
                                  fields[7], dir)
                         + QStringLiteral("webdirectory=\r\ntablequeuetimer=\r\ntimer=\r\ngridcols=\r\n"
                                          "paneratio=\r\ncurrenttable=\r\nscreen=\r\nbatchsize=100\r\ndelay=30\r\n");
    QSaveFile file(dir + QStringLiteral("/lib/") + fields[3] + u'_' + fields[0] + QStringLiteral(".tsy"));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(text.toLatin1());
    return file.commit() ? 0 : 1;
}
