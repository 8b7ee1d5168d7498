#pragma once

#include "config/ConfigFormat.h"
#include "support/TestAppDir.h"
#include "ui/editor/frmEditConfiguration.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Opens the editor the way the main window does: selection state in the session, then the
// window, shown and active so that focus and keys reach it.
class EditorTest : public ::testing::Test
{
protected:
    TestAppDir app;
    std::unique_ptr<frmEditConfiguration> editor;

    Session &session() { return app.session(); }

    // A record as a configuration written by this program holds it.
    static ConfigRecord SampleRecord()
    {
        ConfigRecord r;
        r.SatelliteAppln = QStringLiteral("1028");
        r.ldbp = QStringLiteral("2");
        r.dsn = QStringLiteral("RST_DSN");
        r.database = QStringLiteral("rostrum");
        r.dbmachinename = QStringLiteral("dbhost");
        r.user = QStringLiteral("scott");
        r.savepass = QStringLiteral("1");
        r.password = QStringLiteral("tiger");
        r.autologin = QStringLiteral("1");
        r.lhbuscomponent = QStringLiteral("cn=RST, o=Norwen");
        r.logdirectory = QStringLiteral("/var/log/tess");
        r.webdirectory = QString();
        r.tablequeuetimer = QStringLiteral("5");
        r.timer = QStringLiteral("10");
        r.gridcols = QStringLiteral("1,2,3");
        r.paneratio = QStringLiteral("0.5");
        r.currenttable = QStringLiteral("orders");
        r.screen = QStringLiteral("0,0,800,600");
        r.batchsize = QStringLiteral("250");
        r.delay = QStringLiteral("45");
        return r;
    }

    void WriteRecord(const QString &name, const ConfigRecord &record)
    {
        app.writeFile(QStringLiteral("lib/") + name, ConfigFormat::Format(record));
    }

    void OpenExisting(const QString &name)
    {
        session().SelectedConfigName = name;
        session().SelectedConfigPath = app.lib(name);
        Open();
    }

    void OpenNew()
    {
        session().LoadSharedTexts();
        session().SelectedConfigName = session().NewConfigName;
        session().SelectedConfigPath.clear();
        Open();
    }

    void Open()
    {
        editor = std::make_unique<frmEditConfiguration>(session());
        editor->show();
        QApplication::setActiveWindow(editor.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    template <typename T>
    T *Child(const char *name)
    {
        T *child = editor->findChild<T *>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QLineEdit *Box(const char *name) { return Child<QLineEdit>(name); }
    QComboBox *Combo(const char *name) { return Child<QComboBox>(name); }
    QCheckBox *Check(const char *name) { return Child<QCheckBox>(name); }

    void Type(const char *boxName, const QString &text)
    {
        QLineEdit *box = Box(boxName);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        // Key clicks know ASCII only; other characters arrive as an input method's text.
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(box, c.toLatin1());
            else
                box->insert(QString(c));
        }
    }

    // Picks a list entry with the keyboard, as a user does.
    void Pick(const char *comboName, int position)
    {
        QComboBox *combo = Combo(comboName);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < position; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    }

    void ClickSave() { QTest::mouseClick(Child<QPushButton>("cmdOK"), Qt::LeftButton); }
    void ClickCancel() { QTest::mouseClick(Child<QPushButton>("cmdCancel"), Qt::LeftButton); }

    // Types name into the name prompt when it appears and confirms it.
    static void AnswerNamePrompt(const QString &name, bool *shown = nullptr)
    {
        WhenModal(QStringLiteral("frmConfigFileSelector"), [name, shown](QWidget *dialog) {
            if (shown)
                *shown = true;
            auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtFileName"));
            box->setText(name);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
    }
    static void CancelNamePrompt(bool *shown)
    {
        WhenModal(QStringLiteral("frmConfigFileSelector"), [shown](QWidget *dialog) {
            *shown = true;
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("CancelButton")), Qt::LeftButton);
        });
    }

    // An old modification time, so that any rewrite shows.
    void AgeFile(const QString &path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
    }
    static QDateTime Modified(const QString &path) { return QFileInfo(path).lastModified(); }

    // The lines of a file as written, line ends checked.
    QStringList LinesOf(const QString &name)
    {
        const QByteArray bytes = app.readFile(QStringLiteral("lib/") + name);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
};
