#include "ui/dialogs/frmAbout.h"
#include "platform/Registry.h"
#include "support/Controls.h"
#include "support/TestAppDir.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QByteArray kTessalyKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n";

QString LabelText(const frmAbout &about, const char *name) { return Child<QLabel>(&about, name)->text(); }

// A registry file with body, where @ stands for the application directory; none when body is empty.
void WriteRegistry(TestAppDir &app, QByteArray body)
{
    if (!body.isEmpty())
        app.writeFile(QStringLiteral("registry.reg"), "Windows Registry Editor Version 5.00\r\n\r\n"
                                                          + body.replace('@', app.path().toUtf8()));
}

// A stand-in system information tool that notes its start, by its file's name, in started.txt.
void WriteTool(TestAppDir &app, const QString &relative)
{
    app.writeFile(relative, ("#!/bin/sh\necho '" + relative + "' >> '" + app.path() + "/started.txt'\n").toUtf8());
    QFile::setPermissions(app.path() + u'/' + relative,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
}

// The captions come from the texts file with their placeholders filled, the version from the
// registry (how a value reads is the registry's concern); OK closes.
TEST(About, CaptionsComeFromTheTextsAndTheVersionFromTheRegistry)
{
    TestAppDir app;
    app.writeFile(QStringLiteral("I18nText.xml"),
                  "<?xml version=\"1.0\"?><I18NTEXT><SLBL0019>%1 / %1</SLBL0019><SLBL0372>P&amp;Q</SLBL0372>"
                  "<SLBL0520>&lt;b&gt;T%1%1&lt;/b&gt;</SLBL0520><SLBL0499>(%1)</SLBL0499></I18NTEXT>");
    WriteRegistry(app, kTessalyKey + "\"Solution\"=\"2.3\"\r\n");
    frmAbout about(app.session());
    ASSERT_TRUE(about.Load());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("P&Q / P&Q"));
    EXPECT_EQ(LabelText(about, "lblTitle"), QString::fromUtf8("<b>T\xc2\xae\xc2\xae</b>"));
    EXPECT_EQ(LabelText(about, "lblCopyright"), QString::fromUtf8("(\xc2\xa9)"));
    EXPECT_TRUE(LabelText(about, "lblVersion").endsWith(QStringLiteral(" 2.3")));
    EXPECT_TRUE(app.shownTexts().isEmpty());
    WhenModal(QStringLiteral("frmAbout"), [](QWidget *w) { QTest::mouseClick(Child<QPushButton>(w, "cmdOK"), Qt::LeftButton); });
    EXPECT_EQ(about.exec(), int(QDialog::Accepted));

    // A refused registry file (which ones is the registry's concern) is told.
    WriteRegistry(app, kTessalyKey + QByteArray(1 << 20, ';'));
    frmAbout refused(app.session());
    ASSERT_TRUE(refused.Load());
    EXPECT_EQ(app.shownTexts(), QStringList{Registry::WhyFileRefused(app.path()).English()});
}

TEST(About, SystemInfoStartsTheToolTheRegistryNames)
{
    const QByteArray path = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n\"PATH\"=\"";
    const QByteArray location =
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n\"MSINFO\"=\"@/msinfo\"\r\n";
    // tools: the stand-ins written; started: the one that starts, none for the "not available" message.
    struct Case { const char *what; QByteArray registry; QStringList tools; const char *started; };
    const Case cases[] = {
        {"path value, a bare name: started without a file check", path + "sysinfo-tool\"\r\n" + location,
         {"sysinfo-tool", "msinfo/MSINFO32.EXE"}, "sysinfo-tool"},
        {"path value with a directory and a blank", path + "@/my tools/info\"\r\n", {"my tools/info"}, "my tools/info"},
        {"location only, program there", location, {"msinfo/MSINFO32.EXE"}, "msinfo/MSINFO32.EXE"},
        {"location only, program missing", location, {"msinfo/msinfo32.exe"}, nullptr},
        {"no registry file", {}, {}, nullptr},
        {"path value that cannot be started", path + "@/no-such-tool\"\r\n" + location, {"msinfo/MSINFO32.EXE"}, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestAppDir app;
        for (const QString &tool : c.tools)
            WriteTool(app, tool);
        WriteRegistry(app, c.registry);
        frmAbout about(app.session());
        ASSERT_TRUE(about.Load());
        about.show();
        QTest::mouseClick(Child<QPushButton>(&about, "cmdSysInfo"), Qt::LeftButton);
        // The check below tells whether it came.
        if (c.started)
            (void)QTest::qWaitFor([&] { return !app.readFile(QStringLiteral("started.txt")).isEmpty(); }, 5000);
        EXPECT_EQ(app.readFile(QStringLiteral("started.txt")).trimmed(), QByteArray(c.started));
        EXPECT_EQ(app.shownTexts(), !c.started ? QStringList{app.session().GetText(QStringLiteral("SLBL0300"))}
                                                        : QStringList());
        for (const auto &shown : app.messages().ShownMessages())
            EXPECT_EQ(shown.asker, &about);
    }
}

} // namespace
