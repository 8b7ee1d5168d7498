#include "ui/dialogs/frmAbout.h"
#include "platform/Registry.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QByteArray kTessalyKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n";
const QByteArray kMsInfoKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n";
const QByteArray kLocationKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n";

QString LabelText(const frmAbout &about, const char *name)
{
    const auto *label = about.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void WriteRegistry(TestAppDir &app, const QByteArray &body)
{
    app.writeFile(QStringLiteral("registry.reg"), "Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

// A stand-in system information tool that notes its start, with its tag, in started.txt.
void WriteTool(TestAppDir &app, const QString &relative, const QByteArray &tag)
{
    app.writeFile(relative, "#!/bin/sh\necho " + tag + " >> '" + app.path().toUtf8() + "/started.txt'\n");
    QFile::setPermissions(app.path() + u'/' + relative,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
}

// What the started tools noted, once one has; empty when none starts in a few seconds.
QByteArray WaitForStart(TestAppDir &app)
{
    QFile started(app.path() + QStringLiteral("/started.txt"));
    if (!QTest::qWaitFor([&] { return started.exists() && started.size() > 0; }, 5000))
        return QByteArray();
    return started.open(QIODevice::ReadOnly) ? started.readAll().trimmed() : QByteArray();
}

TEST(About, LoadFillsTheCaptionsAndTheVersion)
{
    struct Case
    {
        const char *what;
        QByteArray registry; // empty: no registry file at all
        const char *version;
    } cases[] = {
        {"text", kTessalyKey + "\"Solution\"=\"2.3\"\r\n", "Version: 2.3"},
        {"number", kTessalyKey + "\"Solution\"=dword:00000023\r\n", "Version: "},
        {"other value only", kTessalyKey + "\"Build\"=\"2.3\"\r\n", "Version: "},
        {"no registry file", QByteArray(), "Version: "},
    };
    for (const Case &c : cases) {
        TestAppDir app;
        if (!c.registry.isEmpty())
            WriteRegistry(app, c.registry);
        frmAbout about(app.session());
        EXPECT_EQ(LabelText(about, "lblVersion"), QString::fromUtf8(c.version)) << c.what;
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tessaly - Configuration Selector")) << c.what;
        EXPECT_EQ(LabelText(about, "lblTitle"), QString::fromUtf8("Norwen Tessaly\xc2\xae")) << c.what;
        EXPECT_EQ(LabelText(about, "lblCopyright"), QString::fromUtf8("Copyright \xc2\xa9 Norwen Global. All rights reserved."));
        EXPECT_EQ(LabelText(about, "lblDescription"), app.session().GetText(QStringLiteral("SLBL0316")));
        EXPECT_EQ(LabelText(about, "lblDisclaimer"), app.session().GetText(QStringLiteral("SLBL0328")));
        EXPECT_TRUE(app.shownTexts().isEmpty()) << c.what;
    }
}

TEST(About, PlaceholdersAreReplacedEverywhereAndTextsStayPlain)
{
    TestAppDir app;
    app.writeFile(QStringLiteral("I18nText.xml"),
                  "<?xml version=\"1.0\"?><I18NTEXT><SLBL0019>%1 / %1</SLBL0019><SLBL0372>P&amp;Q</SLBL0372>"
                  "<SLBL0520>&lt;b&gt;T%1%1&lt;/b&gt;</SLBL0520><SLBL0499>(%1)</SLBL0499></I18NTEXT>");
    frmAbout about(app.session());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("P&Q / P&Q"));
    EXPECT_EQ(LabelText(about, "lblTitle"), QString::fromUtf8("<b>T\xc2\xae\xc2\xae</b>"));
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblTitle"))->textFormat(), Qt::PlainText);
    EXPECT_EQ(LabelText(about, "lblCopyright"), QString::fromUtf8("(\xc2\xa9)"));
    // Missing texts show their label identifiers.
    EXPECT_EQ(LabelText(about, "lblDescription"), QStringLiteral("SLBL0316"));
}

TEST(About, OkClosesTheBox)
{
    TestAppDir app;
    frmAbout about(app.session());
    WhenModal(QStringLiteral("frmAbout"), [](QWidget *w) {
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), int(QDialog::Accepted));
    EXPECT_FALSE(about.isVisible());
}

TEST(About, SystemInfoStartsTheToolTheRegistryNames)
{
    struct Case
    {
        const char *what;
        std::function<void(TestAppDir &)> setUp;
        QByteArray started; // tag of the tool that starts; empty: the "not available" message
    } cases[] = {
        {"path value, a bare name: started without a file check",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("sysinfo-tool"), "path");
             WriteTool(app, QStringLiteral("msinfo/MSINFO32.EXE"), "location");
             WriteRegistry(app, kMsInfoKey + "\"PATH\"=\"sysinfo-tool\"\r\n\r\n" + kLocationKey + "\"MSINFO\"=\""
                                    + app.path().toUtf8() + "/msinfo\"\r\n");
         },
         "path"},
        {"path value with a directory and a blank",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("my tools/info"), "spaced");
             WriteRegistry(app, kMsInfoKey + "\"PATH\"=\"" + app.path().toUtf8() + "/my tools/info\"\r\n");
         },
         "spaced"},
        {"location only, program there",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("msinfo/MSINFO32.EXE"), "location");
             WriteRegistry(app, kLocationKey + "\"MSINFO\"=\"" + app.path().toUtf8() + "/msinfo\"\r\n");
         },
         "location"},
        {"location only, program missing",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("msinfo/msinfo32.exe"), "wrong case");
             WriteRegistry(app, kLocationKey + "\"MSINFO\"=\"" + app.path().toUtf8() + "/msinfo\"\r\n");
         },
         ""},
        {"neither value", [](TestAppDir &app) { WriteRegistry(app, kTessalyKey + "\"Solution\"=\"2.3\"\r\n"); }, ""},
        {"no registry file", [](TestAppDir &) {}, ""},
        {"path value that cannot be started",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("msinfo/MSINFO32.EXE"), "location");
             WriteRegistry(app, kMsInfoKey + "\"PATH\"=\"" + app.path().toUtf8() + "/no-such-tool\"\r\n\r\n"
                                    + kLocationKey + "\"MSINFO\"=\"" + app.path().toUtf8() + "/msinfo\"\r\n");
         },
         ""},
        {"keys present but the registry may not be changed",
         [](TestAppDir &app) {
             WriteTool(app, QStringLiteral("sysinfo-tool"), "path");
             WriteRegistry(app, kMsInfoKey + "\"PATH\"=\"sysinfo-tool\"\r\n");
             QFile::setPermissions(Registry::FilePath(app.path()), QFile::ReadOwner | QFile::ReadGroup);
         },
         ""},
    };
    for (const Case &c : cases) {
        TestAppDir app;
        app.session().ProgramTitle = QStringLiteral("Program title");
        c.setUp(app);
        frmAbout about(app.session());
        about.show();
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        if (c.started.isEmpty()) {
            ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.what;
            const auto &shown = app.messages().ShownMessages().front();
            EXPECT_EQ(shown.text, app.session().GetText(QStringLiteral("SLBL0300"))) << c.what;
            EXPECT_EQ(shown.icon, MsgIcon::None) << c.what;
            EXPECT_EQ(shown.buttons, MsgButtons::Ok) << c.what;
            EXPECT_EQ(shown.title, QStringLiteral("Program title")) << c.what;
        } else {
            EXPECT_TRUE(app.shownTexts().isEmpty()) << c.what;
            EXPECT_EQ(WaitForStart(app), c.started) << c.what;
        }
    }
}

} // namespace
