// Every window, on every tab, in the usual font and at 16 points, with the English, the marked
// and 40 % longer, and the German texts: each control the Tab key reaches has a name a screen
// reader can say, each Alt letter shown means one control (each menu command has one), no
// caption is cut, and the window fits a 1280 x 800 screen (2560 x 1600 at twice the scale).
#include "EveryWindow.h"
#include "support/MarkedTexts.h"
#include "ui/Mnemonics.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString Visible(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
}

// The Alt letter of a caption, upper case; null when it has none.
QChar Letter(const QString &text)
{
    const qsizetype at = Mnemonics::At(text);
    return at < 0 ? QChar() : text[at + 1].toUpper();
}

// What is wrong with the window as it shows now, one line each.
QStringList Problems(QWidget &window)
{
    QStringList found;
    QHash<QChar, QString> letters;
    auto claim = [&](const QString &text, const QString &who) {
        const QChar letter = Letter(text);
        if (!letter.isNull() && letters.contains(letter))
            found << QStringLiteral("Alt+%1 is both %2 and %3").arg(letter, letters[letter], who);
        else if (!letter.isNull())
            letters.insert(letter, who);
    };
    if (window.width() > 1280 || window.height() > 800)
        found << QStringLiteral("the window is %1 x %2").arg(window.width()).arg(window.height());
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&window) || w->window() != &window)
            continue;
        const QString who = w->objectName().isEmpty() ? QLatin1String(w->metaObject()->className()) : w->objectName();
        // (A widget with a focus proxy hands the focus on: the proxy is named.)
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->focusProxy()) {
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(w);
            const QString name = control ? control->text(QAccessible::Name).trimmed() : QString();
            if (name.isEmpty() || name == QLatin1String("..."))
                found << who + QStringLiteral(": named \"") + name + u'"';
        }
        if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
            claim(label->text(), who);
        else if (qobject_cast<QAbstractButton *>(w) && !qobject_cast<QToolButton *>(w))
            claim(static_cast<QAbstractButton *>(w)->text(), who);
        const QFontMetrics metrics = w->fontMetrics();
        QSize needed;
        if (auto *label = qobject_cast<QLabel *>(w); label && label->pixmap().isNull())
            needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
        else if (qobject_cast<QCheckBox *>(w))
            needed = w->sizeHint();
        else if (auto *button = qobject_cast<QPushButton *>(w)) {
            const int margins = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w)
                + 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            needed = QSize(metrics.horizontalAdvance(Visible(button->text())) + margins, metrics.height());
        } else if (auto *frame = qobject_cast<QGroupBox *>(w); frame && !frame->title().isEmpty())
            needed = QSize(metrics.horizontalAdvance(Visible(frame->title())), 0);
        if (needed.width() > w->width() || needed.height() > w->height())
            found << QStringLiteral("%1: cut, %2 x %3 of %4 x %5")
                         .arg(who).arg(w->width()).arg(w->height()).arg(needed.width()).arg(needed.height());
        if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            const int space = w->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, w);
            for (int i = 0; i < tabs->count(); ++i) {
                claim(tabs->tabText(i), who + QStringLiteral(" tab ") + QString::number(i));
                const int text = metrics.horizontalAdvance(Visible(tabs->tabText(i)));
                if (tabs->tabRect(i).width() < text + space || !tabs->rect().contains(tabs->tabRect(i)))
                    found << who + QStringLiteral(": tab \"") + tabs->tabText(i) + QStringLiteral("\" cut");
            }
        }
        // A value longer than its box shows its start (a component string names its component there).
        if (auto *field = qobject_cast<QLineEdit *>(w); field && !field->hasFocus()
            && metrics.horizontalAdvance(field->text()) > field->width() && field->cursorPosition() != 0)
            found << who + QStringLiteral(": shows the end of its value");
    }
    // Every command of a menu has its own Alt letter.
    for (const QMenu *menu : window.findChildren<QMenu *>()) {
        QSet<QChar> taken;
        for (const QAction *item : menu->actions()) {
            if (!item->isVisible() || item->isSeparator())
                continue;
            const QChar letter = Letter(item->text());
            if (letter.isNull() || taken.contains(letter))
                found << menu->objectName() + QStringLiteral(": \"") + item->text() + QStringLiteral("\" has no Alt letter of its own");
            taken.insert(letter);
        }
    }
    return found;
}

// Each tab of the window in turn (the window as it is when it has none).
QStringList ProblemsOnEveryTab(QWidget &window)
{
    QTabBar *tabs = nullptr;
    for (QTabBar *bar : window.findChildren<QTabBar *>()) {
        if (bar->isVisibleTo(&window))
            tabs = bar;
    }
    QStringList found;
    for (int tab = 0; tab < (tabs ? tabs->count() : 1); ++tab) {
        if (tabs)
            tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        for (const QString &problem : Problems(window))
            found << (tabs ? QStringLiteral("tab %1: ").arg(tab) : QString()) + problem;
    }
    return found;
}

QByteArray ReadSource(const char *relative)
{
    QFile file(QStringLiteral(CS_SOURCE_DIR "/resources/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A font size in points (0: the usual font) and a texts file: the English one, every text
// marked and 40 % longer, or the German one.
struct Look
{
    int points;
    const char *texts;
};

void PrintTo(const Look &look, std::ostream *os) { *os << look.texts << ' ' << look.points << " pt"; }

class EveryWindowTest : public ::testing::TestWithParam<Look>
{
protected:
    void SetUp() override
    {
        m_font = QApplication::font();
        if (GetParam().points > 0) {
            QFont large = m_font;
            large.setPointSize(GetParam().points);
            QApplication::setFont(large);
        }
        const QByteArray english = ReadSource("I18nText.xml");
        const QString texts = QLatin1String(GetParam().texts);
        m_texts = texts == u"marked" ? MarkedTexts::Make(english) : texts == u"German" ? ReadSource("I18nText.de.xml") : english;
        ASSERT_FALSE(m_texts.isEmpty());
    }
    void TearDown() override { QApplication::setFont(m_font); }

    QByteArray m_texts;

private:
    QFont m_font;
};

TEST_P(EveryWindowTest, NamesEveryControlCutsNoTextAndFitsTheScreen)
{
    for (const WindowCase &c : EveryWindow()) {
        TestAppDir app;
        app.writeFile(QStringLiteral("I18nText.xml"), m_texts);
        WriteSampleConfigurations(app);
        std::unique_ptr<QWidget> window = c.open(app);
        ShowActive(*window);
        const QStringList problems = ProblemsOnEveryTab(*window);
        EXPECT_TRUE(problems.isEmpty()) << c.name << ":\n  " << problems.join(QStringLiteral("\n  ")).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, EveryWindowTest,
                         ::testing::Values(Look{0, "English"}, Look{16, "English"}, Look{0, "marked"}, Look{16, "marked"},
                                           Look{0, "German"}, Look{16, "German"}),
                         [](const auto &info) {
                             return info.param.texts + std::string(info.param.points ? "_16pt" : "_usual");
                         });

} // namespace
