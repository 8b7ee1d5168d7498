// The configuration editor's data source list open, and the answer of Test Connection,
// both against the test PostgreSQL server with the demo's data source names.
#include "Shots.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"
#include "ui/editor/frmEditConfiguration.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace {

// A database with back-end version 6 reached through the demo's data source names; one for
// both pictures, since a data source name is defined once in odbc.ini.
PgDatabase *DemoDatabase()
{
    static const std::unique_ptr<PgDatabase> db = [] {
        auto made = PostgresFixture::CreateDatabase(QStringLiteral("shots"));
        if (!made || !made->Exec(QStringLiteral("INSERT INTO tsparameters VALUES (6)")))
            return std::unique_ptr<PgDatabase>();
        for (const char *dsn : {"FMK_SALES", "RST_PLAN", "WEB_PORTAL"})
            if (!made->AddDsn(QLatin1String(dsn)))
                return std::unique_ptr<PgDatabase>();
        return made;
    }();
    return db.get();
}

// The window with another top-level window (a popup, a message box) drawn where it stands,
// on a canvas large enough for both.
QImage WithOnTop(QWidget &window, QWidget &top, QPoint at)
{
    const QPixmap below = window.grab(), above = top.grab();
    const QRect area = QRect(QPoint(0, 0), below.deviceIndependentSize().toSize())
                           .united(QRect(at, above.deviceIndependentSize().toSize()));
    QImage picture(area.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(-area.topLeft(), below);
    painter.drawPixmap(at - area.topLeft(), above);
    return picture;
}

struct OpenEditor
{
    explicit OpenEditor(TestAppDir &app) : editor(app.session(), app.lib(QStringLiteral("Fieldmark_Sales.tsy")))
    {
        editor.Load();
        editor.show();
        QApplication::setActiveWindow(&editor);
        // A picture of an inactive window still shows the fields; the focus frame is a detail.
        (void)QTest::qWaitForWindowActive(&editor);
    }
    frmEditConfiguration editor;
};

bool ShotCompletions(TestAppDir &app, const QString &out)
{
    PgDatabase *db = DemoDatabase();
    if (!db)
        return false;
    OpenEditor open(app);
    auto *dsn = open.editor.findChild<QLineEdit *>(QStringLiteral("txtdsn"));
    QTest::mouseClick(dsn, Qt::LeftButton);
    QWidget *popup = dsn->completer()->popup();
    if (!QTest::qWaitFor([popup] { return popup->isVisible(); }))
        return false;
    return WithOnTop(open.editor, *popup, open.editor.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0)))).save(out);
}

bool ShotTestConnection(TestAppDir &app, const QString &out)
{
    PgDatabase *db = DemoDatabase();
    if (!db)
        return false;
    OpenEditor open(app);
    open.editor.findChild<QLineEdit *>(QStringLiteral("txtusername"))->setText(db->user());
    open.editor.findChild<QLineEdit *>(QStringLiteral("txtpassword"))->setText(db->password());
    app.messages().ClearShown();
    QTest::mouseClick(open.editor.findChild<QPushButton *>(QStringLiteral("cmdTestConnection")), Qt::LeftButton);
    if (app.messages().ShownMessages().size() != 1)
        return false;
    // The recorded message, drawn as the message box shows it, over the editor's middle.
    const auto &shown = app.messages().ShownMessages().first();
    QMessageBox box(shown.icon == MsgIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    shown.title, shown.text, QMessageBox::Ok);
    box.adjustSize();
    const QPoint at((open.editor.width() - box.width()) / 2, open.editor.height() / 3);
    return WithOnTop(open.editor, box, at).save(out);
}

ShotRegistration regCompletions{{"editor_dsn_completions", ShotCompletions}};
ShotRegistration regTestConnection{{"editor_test_connection", ShotTestConnection}};

} // namespace
