#include "ui/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace Mnemonics {

namespace {

bool WordStart(const QString &text, qsizetype i) { return i == 0 || !text[i - 1].isLetterOrNumber(); }

// The first letter of text not yet taken: at the start of a word if one is, else anywhere.
qsizetype FreeLetter(const QString &text, const QSet<QChar> &taken)
{
    for (const bool wordStartsOnly : {true, false}) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isLetterOrNumber() && (!wordStartsOnly || WordStart(text, i)) && !taken.contains(text[i].toUpper()))
                return i;
        }
    }
    return -1;
}

// One caption of the window: where it stands in the Tab order, the page it is on (null: the
// window's own), and how it is read and written.
struct Item
{
    int order;
    QWidget *page;
    bool wantsLetter;
    std::function<QString()> get;
    std::function<void(const QString &)> set;
};

QWidget *PageOf(QWidget *control, const QWidget &window)
{
    for (QWidget *w = control; w && w != &window; w = w->parentWidget()) {
        if (w->property("mnemonicPage").toBool() || qobject_cast<QStackedWidget *>(w->parentWidget()))
            return w;
    }
    return nullptr;
}

} // namespace

qsizetype At(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return i;
        ++i;
    }
    return -1;
}

QStringList Unique(const QList<Caption> &captions, QSet<QChar> &taken)
{
    QStringList result;
    for (const Caption &caption : captions) {
        QString text = caption.text;
        if (const qsizetype at = At(text); at >= 0) {
            const QChar letter = text[at + 1].toUpper();
            if (!taken.contains(letter)) {
                taken.insert(letter);
                result.append(text);
                continue;
            }
            text.remove(at, 1);
        } else if (!caption.wantsLetter) {
            result.append(text);
            continue;
        }
        if (const qsizetype free = FreeLetter(text, taken); free >= 0) {
            taken.insert(text[free].toUpper());
            text.insert(free, u'&');
        }
        result.append(text);
    }
    return result;
}

void RepairMenu(const QList<QAction *> &items)
{
    QList<QAction *> shown;
    QList<Caption> captions;
    for (QAction *item : items) {
        if (item->isVisible() && !item->isSeparator()) {
            shown.append(item);
            captions.append({item->text(), true});
        }
    }
    QSet<QChar> taken;
    const QStringList texts = Unique(captions, taken);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i]->text() != texts[i])
            shown[i]->setText(texts[i]);
    }
}

void RepairWindow(QWidget &window)
{
    QHash<const QWidget *, int> order;
    int position = 0;
    for (QWidget *w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain())
        order.insert(w, ++position);

    QList<Item> items;
    auto mine = [&window](QWidget *w) { return w->window() == &window; };
    if (auto *bar = window.findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly)) {
        for (QAction *menu : bar->actions()) {
            if (menu->isVisible() && !menu->isSeparator())
                items.append({-1, nullptr, false, [menu] { return menu->text(); },
                              [menu](const QString &t) { menu->setText(t); }});
        }
    }
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->buddy() && mine(label))
            items.append({order.value(label->buddy()), PageOf(label->buddy(), window), true,
                          [label] { return label->text(); }, [label](const QString &t) { label->setText(t); }});
    }
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QToolButton *>(button) && mine(button))
            items.append({order.value(button), PageOf(button, window), true, [button] { return button->text(); },
                          [button](const QString &t) { button->setText(t); }});
    }
    for (QGroupBox *frame : window.findChildren<QGroupBox *>()) {
        if (mine(frame))
            items.append({order.value(frame), PageOf(frame, window), false, [frame] { return frame->title(); },
                          [frame](const QString &t) { frame->setTitle(t); }});
    }
    for (QTabBar *tabs : window.findChildren<QTabBar *>()) {
        if (!mine(tabs))
            continue;
        for (int i = 0; i < tabs->count(); ++i)
            items.append({order.value(tabs), PageOf(tabs, window), true, [tabs, i] { return tabs->tabText(i); },
                          [tabs, i](const QString &t) { tabs->setTabText(i, t); }});
    }
    // The window's own captions first, then each page from what those left.
    std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        return (a.page != nullptr) < (b.page != nullptr) || ((a.page != nullptr) == (b.page != nullptr) && a.order < b.order);
    });
    auto repair = [](const QList<Item *> &scope, QSet<QChar> taken) {
        QList<Caption> captions;
        for (const Item *item : scope)
            captions.append({item->get(), item->wantsLetter});
        const QStringList texts = Unique(captions, taken);
        for (qsizetype i = 0; i < scope.size(); ++i) {
            if (captions[i].text != texts[i])
                scope[i]->set(texts[i]);
        }
        return taken;
    };
    QList<Item *> own;
    QList<QWidget *> pages;
    for (Item &item : items) {
        if (!item.page)
            own.append(&item);
        else if (!pages.contains(item.page))
            pages.append(item.page);
    }
    const QSet<QChar> shared = repair(own, {});
    for (QWidget *page : pages) {
        QList<Item *> onPage;
        for (Item &item : items) {
            if (item.page == page)
                onPage.append(&item);
        }
        repair(onPage, shared);
    }
}

} // namespace Mnemonics
