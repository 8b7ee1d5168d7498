// How soon the configuration editor takes input again when Cancel is pressed during a Test
// Connection whose server took the login and never answers, against an anchor of the same
// run: a login refused at once (a closed port on the loopback) through the same driver.
// Prints both medians and their ratio; the targets are 100 ms and a ratio of at most 10 (the
// window comes back in the time of a few refused logins, never after the server's time-out).
// With --guard the program exits 1 when the ratio is more than three times its target.
#include "platform/Odbc.h"
#include "platform/Worker.h"
#include "support/HungServer.h"
#include "support/TestAppDir.h"
#include "ui/WaitDialog.h"
#include "ui/editor/frmEditConfiguration.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const bool guard = argc > 1 && std::strcmp(argv[argc - 1], "--guard") == 0;
    const int rounds = 7;
    constexpr double TargetRatio = 10.0, TargetMs = 100.0;

    // The anchor: a server that refuses at once. A listener closed before the logins.
    HungServer refusing(QStringLiteral("bench_refused"));
    if (!refusing.Listening()) {
        std::fprintf(stderr, "no data source: %s\n", qPrintable(refusing.error()));
        return 2;
    }
    refusing.Close();
    std::vector<double> anchor;
    for (int i = 0; i < rounds + 1; ++i) {
        Odbc::Connection connection;
        QElapsedTimer t;
        t.start();
        const Result<void> opened = connection.Connect(refusing.dsn(), QStringLiteral("u"), QStringLiteral("p"));
        if (opened) {
            std::fprintf(stderr, "the closed port took the login\n");
            return 2;
        }
        if (i > 0) // the first loads the driver
            anchor.push_back(t.nsecsElapsed() / 1e6);
    }

    HungServer hung(QStringLiteral("bench_hung"));
    TestAppDir app;
    InstallWaitDialog();
    frmEditConfiguration editor(app.session(), QString());
    if (!hung.Listening() || !editor.Load()) {
        std::fprintf(stderr, "the editor could not be opened on the data source: %s\n", qPrintable(hung.error()));
        return 2;
    }
    editor.show();
    QApplication::setActiveWindow(&editor);
    if (!QTest::qWaitForWindowActive(&editor)) {
        std::fprintf(stderr, "the editor did not become active\n");
        return 2;
    }
    auto *dsn = editor.findChild<QLineEdit *>(QStringLiteral("txtdsn"));
    auto *database = editor.findChild<QLineEdit *>(QStringLiteral("txtdatabase"));
    auto *test = editor.findChild<QPushButton *>(QStringLiteral("cmdTestConnection"));
    dsn->setText(hung.dsn());

    std::vector<double> back;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer sinceCancel;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            QWidget *wait = QApplication::activeModalWidget();
            if (!wait || wait->objectName() != QLatin1String("frmWait") || !wait->isVisible())
                return;
            poll.stop();
            sinceCancel.start();
            QTest::mouseClick(wait->findChild<QPushButton *>(QStringLiteral("cmdCancelWait")), Qt::LeftButton);
        });
        poll.start(5);
        QTest::mouseClick(test, Qt::LeftButton);
        // Input reaches the editor again: a key typed into one of its fields.
        database->setFocus();
        QTest::keyClick(database, Qt::Key_X);
        QCoreApplication::processEvents();
        if (!sinceCancel.isValid() || QApplication::activeModalWidget() || !database->text().endsWith(u'x')) {
            std::fprintf(stderr, "round %d: the wait was not cancelled, or the editor took no input\n", i + 1);
            return 2;
        }
        back.push_back(sinceCancel.nsecsElapsed() / 1e6);
    }
    hung.Close();
    Worker::WaitForAll((Odbc::LoginTimeoutSeconds + 2) * 1000);

    const double anchorMs = Median(anchor), backMs = Median(back);
    const double ratio = backMs / anchorMs;
    std::printf("cancel of a hung login: editor takes input again after %.3f ms (worst %.3f ms, target %.0f ms); "
                "refused login %.3f ms; ratio %.3f (target %.1f)\n",
                backMs, *std::max_element(back.begin(), back.end()), TargetMs, anchorMs, ratio, TargetRatio);
    return guard && ratio > 3 * TargetRatio ? 1 : 0;
}
