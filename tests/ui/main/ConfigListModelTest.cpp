// The list's model and its filter, without the window: rows that stay keep their place and
// their persistent indexes while others come and go, only a row whose look changed is
// repainted, and the filter and sort follow the column table.
#include "support/QtPrinters.h"
#include "support/TestAppDir.h"
#include "ui/main/ConfigListFilter.h"
#include "ui/main/ConfigListModel.h"

#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

ConfigList::ListedFile File(const QString &name, const QString &dsn = QStringLiteral("D"), const QString &user = {})
{
    ConfigList::ListedFile file;
    file.presence = ConfigList::ListedFile::Presence::Listed;
    file.entry.FileName = name;
    file.entry.Dsn = dsn;
    file.entry.User = user;
    return file;
}

// Files in the order given, which must be list order.
std::vector<ConfigList::ListedFile> Files(const QStringList &names)
{
    std::vector<ConfigList::ListedFile> files;
    for (const QString &name : names)
        files.push_back(File(name, name == QStringLiteral("c.tsy") ? QStringLiteral("CHANGED") : QStringLiteral("D")));
    return files;
}

class ConfigListModelTest : public ::testing::Test
{
protected:
    QStringList Names(const QAbstractItemModel &rows) const
    {
        QStringList names;
        for (int r = 0; r < rows.rowCount(); ++r)
            names << rows.index(r, ConfigListModel::FileName).data().toString();
        return names;
    }

    TestAppDir app;
    QTreeView look;
    ConfigListModel model{app.session(), look, nullptr};
};

TEST_F(ConfigListModelTest, ARefreshKeepsTheRowsThatStayAndRepaintsOnlyWhatChanged)
{
    // after: the folder's next reading; repainted: the rows told changed, by name.
    struct Case { QStringList after; QStringList repainted; };
    const Case cases[] = {
        {{"a.tsy", "B.tsy", "c.tsy", "d.tsy"}, {"c.tsy"}}, // c's DSN changed
        {{"0.tsy", "a.tsy", "c.tsy", "e.tsy"}, {}},        // first and last come, B and d go
        {{"c.tsy"}, {}},
        {{"a.tsy", "b.tsy", "c.tsy"}, {}},
    };
    model.SetFiles(Files({"a.tsy", "B.tsy", "d.tsy"}));
    model.SetFile(File("c.tsy"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.after.join(u',').toStdString());
        const QPersistentModelIndex kept = model.index(model.RowOf(QStringLiteral("c.tsy")), 0);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.SetFiles(Files(c.after));
        EXPECT_EQ(Names(model), c.after);
        EXPECT_EQ(kept.data().toString(), "c.tsy");
        QStringList repainted;
        for (const QList<QVariant> &signal : std::as_const(changed)) {
            for (int r = signal[0].toModelIndex().row(); r <= signal[1].toModelIndex().row(); ++r)
                repainted << model.index(r, 0).data().toString();
        }
        EXPECT_EQ(repainted, c.repainted);
    }
    // A full list takes no new file, and says so; a known one is updated all the same.
    std::vector<ConfigList::ListedFile> full;
    for (int i = 0; i < ConfigList::MaxListed; ++i)
        full.push_back(File(QStringLiteral("f%1.tsy").arg(i, 5, 10, QChar(u'0'))));
    model.SetFiles(std::move(full));
    EXPECT_FALSE(model.SetFile(File("g.tsy")));
    EXPECT_TRUE(model.SetFile(File("f00007.tsy", "CHANGED")));
    EXPECT_EQ(model.rowCount(), ConfigList::MaxListed);
    EXPECT_EQ(model.index(7, ConfigListModel::Dsn).data().toString(), "CHANGED");
}

TEST_F(ConfigListModelTest, TheFilterSearchesItsColumnsAndTheSortComparesAsTheListDoes)
{
    ConfigListFilter shown(&model, nullptr);
    model.SetFiles({File("a.tsy", "beta", "anna"), File("b.tsy", "Gamma", "bert"), File("c.tsy", "alpha", "carl")});
    model.SetRunning({{QStringLiteral("b.tsy"), QStringLiteral("console since 10:02, op2")}});
    struct Case { const char *text; bool runningOnly; QStringList shown; };
    const Case cases[] = {
        {"", false, {"a.tsy", "b.tsy", "c.tsy"}},
        {"ANNA", false, {"a.tsy"}},                // user, whatever the case
        {"gam", false, {"b.tsy"}},                 // DSN
        {"op2", false, {}},                        // the running column is not searched
        {"", true, {"b.tsy"}},
        {"anna", true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        shown.SetFilter(QString::fromLatin1(c.text), c.runningOnly);
        EXPECT_EQ(Names(shown), c.shown);
    }
    shown.SetFilter({}, false);
    shown.sort(ConfigListModel::Dsn, Qt::AscendingOrder);
    EXPECT_EQ(Names(shown), QStringList({"c.tsy", "a.tsy", "b.tsy"}));
    // A row that changes finds its place by itself.
    model.SetFile(File("c.tsy", "zulu"));
    EXPECT_EQ(Names(shown), QStringList({"a.tsy", "b.tsy", "c.tsy"}));
}

// What type, grey and marks show, the Application column says in words a screen reader reads,
// and the filter finds them.
TEST_F(ConfigListModelTest, TheApplicationColumnSaysWhatTheLookShows)
{
    struct Case { const char *name; qint16 product; bool joint; const char *unreadable; int mode; const char *shown; };
    const Case cases[] = {
        {"a.tsy", 4009, false, "", 0660, "Fieldmark"},
        {"b.tsy", 0, true, "", 0660, "Merge and Split (joint file)"},
        {"c.tsy", 1028, false, "no key", 0660, "Rostrum; cannot be read: no key"},
        {"d.tsy", 0, false, "no key", 0660, "cannot be read: no key"},
        {"e.tsy", 4010, false, "", 0664, "Webtrell; password readable by others"},
    };
    std::vector<ConfigList::ListedFile> files;
    for (const Case &c : cases) {
        ConfigList::ListedFile file = File(QLatin1String(c.name));
        file.shownProduct = c.product;
        file.joint = c.joint;
        file.why = Wording(QString::fromLatin1(c.unreadable));
        file.unreadable = file.why.English();
        file.holdsPassword = true;
        file.identity.mode = c.mode;
        files.push_back(file);
    }
    // The application names and the words, as the window's load reads them.
    app.session().LoadSharedTexts();
    model.LoadHeaders();
    model.SetFiles(files);
    for (int row = 0; row < int(std::size(cases)); ++row)
        EXPECT_EQ(model.Text(row, ConfigListModel::Application), QLatin1String(cases[row].shown)) << cases[row].name;
    ConfigListFilter filter(&model, nullptr);
    filter.SetFilter(QStringLiteral("joint file"), false);
    EXPECT_EQ(Names(filter), QStringList{QStringLiteral("b.tsy")});
}

} // namespace
