// Every text a window shows comes from the texts file: opened with a file whose every text is
// marked, each window shows marks only; opened with the German file, no English text of the
// file shows where its translation differs.
#include "app/LocalisedText.h"
#include "support/MarkedTexts.h"
#include "support/TestAppDir.h"
#include "config/ConfigStore.h"
#include "ui/MessageBoxes.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/dialogs/frmConfigFileSelector.h"
#include "ui/dialogs/frmbrowse.h"
#include "ui/editor/frmEditConfiguration.h"
#include "ui/frmSplash.h"
#include "ui/main/frmConfigurationSelector.h"
#include "ui/main/frmProgramLog.h"
#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/mergesplit/frmMergeAndSplit.h"
#include "ui/Controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QByteArray ReadSource(const char *relative)
{
    QFile file(QStringLiteral(CS_SOURCE_DIR "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<QHash<QString, QString>> Parsed(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return LocalisedText::Parse(buffer);
}

// What a person reads in a window: its title, captions, tab texts, column headers,
// placeholders, menu and action texts and every tool tip, each with where it was found.
QList<std::pair<QString, QString>> ShownTexts(QWidget &window)
{
    QList<std::pair<QString, QString>> shown;
    auto add = [&](const QObject *where, const char *what, const QString &text) {
        if (!text.trimmed().isEmpty())
            shown.append({QStringLiteral("%1 %2 of %3").arg(QLatin1String(what), where->objectName(),
                                                            QLatin1String(where->metaObject()->className())),
                          text});
    };
    add(&window, "title", window.windowTitle());
    QList<QWidget *> widgets = window.findChildren<QWidget *>();
    widgets.prepend(&window);
    for (QWidget *w : widgets) {
        add(w, "tool tip", w->toolTip());
        if (auto *label = qobject_cast<QLabel *>(w))
            add(w, "text", label->text());
        else if (auto *tool = qobject_cast<QToolButton *>(w); tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            continue; // its text is its action's, checked there
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(w, "text", button->text());
        else if (auto *frame = qobject_cast<QGroupBox *>(w))
            add(w, "title", frame->title());
        else if (auto *box = qobject_cast<QLineEdit *>(w))
            add(w, "placeholder", box->placeholderText());
        else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(w, "tab", tabs->tabText(i));
                add(w, "tab tool tip", tabs->tabToolTip(i));
            }
        } else if (auto *header = qobject_cast<QHeaderView *>(w); header && header->model() && !header->isHidden()) {
            for (int i = 0; i < header->count(); ++i)
                add(w, "column", header->model()->headerData(i, header->orientation()).toString());
        }
    }
    for (const QAction *action : window.findChildren<QAction *>()) {
        add(action, "text", action->text());
        add(action, "tool tip", action->toolTip());
    }
    return shown;
}

struct Language
{
    const char *name;
    QByteArray file;
    // Why a shown text is not from the file; empty when it is.
    std::function<QString(const QString &)> wrong;
};

class WindowTexts : public ::testing::Test
{
protected:
    // Opens every window on app (whose texts file is language's) and checks what each shows.
    void CheckEveryWindow(const Language &language)
    {
        TestAppDir app;
        app.writeFile(QStringLiteral("I18nText.xml"), language.file);
        app.writeConfig(QStringLiteral("Fieldmark_Sales.tsy"), {"SatelliteAppln=4009", "ldbp=1", "dsn=FMK", "database=fm", "user=u"});
        app.writeConfig(QStringLiteral("Rostrum_Plan.tsy"), {"SatelliteAppln=1028", "ldbp=2", "dsn=RST", "database=rs", "user=u"});
        ASSERT_TRUE(ConfigStore::JoinConfigFiles(app.path(), QStringLiteral("Fieldmark_Sales.tsy"),
                                                 QStringLiteral("Rostrum_Plan.tsy"), QStringLiteral("Joint.tsy")));
        Session &session = app.session();
        auto check = [&](QWidget &window) {
            window.show();
            QCoreApplication::processEvents();
            for (const auto &[where, text] : ShownTexts(window)) {
                if (const QString why = language.wrong(text); !why.isEmpty())
                    ADD_FAILURE() << language.name << ": " << qPrintable(where) << " \"" << qPrintable(text) << "\" " << qPrintable(why);
            }
            window.hide();
        };

        frmConfigurationSelector main(session);
        ASSERT_TRUE(main.Load());
        check(main);
        frmEditConfiguration editor(session, app.lib(QStringLiteral("Rostrum_Plan.tsy")));
        ASSERT_TRUE(editor.Load());
        check(editor);
        frmEditConfigurationMergeSplit joint(session, app.lib(QStringLiteral("Joint.tsy")));
        joint.Load();
        check(joint);
        frmMergeAndSplit publisher(session, {QStringLiteral("Fieldmark_Sales.tsy"), QStringLiteral("Rostrum_Plan.tsy")}, nullptr);
        publisher.Load({});
        check(publisher);
        check(frmConfigFileSelector::Instance(session));
        frmbrowse browser(session);
        ASSERT_TRUE(browser.Load());
        check(browser);
        frmAbout about(session);
        ASSERT_TRUE(about.Load());
        check(about);
        frmSplash splash(session);
        check(splash);
        frmProgramLog log(session.Text("CS_LOG_TITLE", QStringLiteral("Joint.tsy")), {}, nullptr);
        Controls::Localise(session, log);
        check(log);

        // The message boxes' own buttons, each kind once.
        MessageBoxes boxes;
        boxes.SetTexts(&session.Texts());
        for (MsgButtons buttons : {MsgButtons::OkCancel, MsgButtons::YesNoCancel, MsgButtons::TheirsMineCancel}) {
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                check(*box);
                box->reject();
            });
            boxes.Show(session.Text("CS_SAVE_CHANGES", QStringLiteral("Joint.tsy")), MsgIcon::Question, buttons,
                       session.ProgramTitle(), nullptr);
        }
    }
};

TEST_F(WindowTexts, EveryWindowShowsOnlyTheTextsOfTheFile)
{
    const QByteArray english = ReadSource("resources/I18nText.xml");
    const QByteArray german = ReadSource("resources/I18nText.de.xml");
    const std::optional<QHash<QString, QString>> englishTexts = Parsed(english), germanTexts = Parsed(german);
    ASSERT_TRUE(englishTexts && germanTexts);
    // The English texts that German says otherwise, as shown (Alt letters drawn).
    QSet<QString> untranslated;
    for (auto it = englishTexts->cbegin(); it != englishTexts->cend(); ++it) {
        if (germanTexts->value(it.key()) != it.value())
            untranslated.insert(QString(it.value()).remove(u'&'));
    }

    for (const Language &language :
         {Language{"marked", MarkedTexts::Make(english),
                   [](const QString &text) { return MarkedTexts::IsMarked(text) ? QString() : QStringLiteral("is not from the file"); }},
          Language{"German", german, [&](const QString &text) {
                       return untranslated.contains(QString(text).remove(u'&')) ? QStringLiteral("is English") : QString();
                   }}})
        CheckEveryWindow(language);
}

} // namespace
