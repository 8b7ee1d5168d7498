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
        const QStringList values = {"1028", "2", "RST_DSN", "rostrum", "dbhost", "scott", "1", "tiger", "1",
                                    "cn=RST, o=Norwen", "/var/log/tess", "", "5", "10", "1,2,3", "0.5",
                                    "orders", "0,0,800,600", "250", "45"};
        ConfigRecord r;
        for (size_t i = 0; i < ConfigKeys.size(); ++i)
            r.*ConfigKeys[i].field = values[int(i)];
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
    static void AgeFile(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime);
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
