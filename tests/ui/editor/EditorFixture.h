#pragma once

#include "config/ConfigFormat.h"
#include "support/WindowTest.h"
#include "ui/editor/frmEditConfiguration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

// Opens the editor the way the main window does: on the selected file, or on none for a new
// configuration.
class EditorTest : public WindowTest<frmEditConfiguration>
{
protected:
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

    // record with the fields of "key=value" entries, keys as written, set.
    static ConfigRecord With(ConfigRecord record, const QStringList &entries)
    {
        for (const QString &entry : entries)
            for (const ConfigKey &k : ConfigKeys)
                if (entry.section(u'=', 0, 0) == QLatin1String(k.written))
                    record.*k.field = entry.section(u'=', 1);
        return record;
    }

    // Writes bytes (a sample record when empty) to lib/rst.tsy and opens it, no message shown yet;
    // returns the bytes written.
    QByteArray OpenRst(QByteArray bytes = {})
    {
        if (bytes.isEmpty())
            bytes = ConfigFormat::Format(SampleRecord());
        app.writeFile(QStringLiteral("lib/rst.tsy"), bytes);
        app.messages().ClearShown();
        Open(QStringLiteral("rst.tsy"));
        return bytes;
    }
    QByteArray Rst() const { return app.readFile(QStringLiteral("lib/rst.tsy")); }

    // Opens lib/name, or a new configuration when name is empty.
    void Open(const QString &name)
    {
        WindowTest::Open(name.isEmpty() ? QString() : app.lib(name));
    }
    void OpenNew() { Open(QString()); }

    QLineEdit *Box(const char *name) { return Child<QLineEdit>(name); }
    QComboBox *Combo(const char *name) { return Child<QComboBox>(name); }
    QCheckBox *Check(const char *name) { return Child<QCheckBox>(name); }

    // Replaces a field's text by typing, as a user does.
    void Type(const char *boxName, const QString &text)
    {
        Box(boxName)->setFocus();
        Box(boxName)->selectAll();
        QTest::keyClicks(Box(boxName), text);
    }

    // Chooses a list entry with the focus in the list, as a user does.
    void Pick(const char *comboName, int position)
    {
        Combo(comboName)->setFocus();
        Combo(comboName)->setCurrentIndex(position);
    }

    // Clicks a button or a check box of the editor.
    void Click(const char *name) { QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton); }
};
