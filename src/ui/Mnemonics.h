#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QAction;
class QWidget;

// Alt letters ("&" before a letter of a caption). Localised texts come from a file that any
// administrator edits, so two captions of one window can claim the same letter, and a label
// can come without one; the window repairs that when its texts are set.
namespace Mnemonics {

// Position of the "&" that marks a caption's Alt letter ("&&" is a plain "&"); -1 when none.
qsizetype At(const QString &text);

// One caption in a scope where every Alt letter must mean one control.
struct Caption
{
    QString text;
    // A caption without a letter is given one (a label of a field, a button); false for a
    // caption that may keep none (a frame, a menu bar's item).
    bool wantsLetter = true;
};

// The captions with their letters made unique, in order: a caption keeps its letter while no
// earlier one has it, else moves to its first free letter, first letters of words first (or
// loses it when none is free). taken holds the letters used before and gets the new ones.
QStringList Unique(const QList<Caption> &captions, QSet<QChar> &taken);

// The visible items of one menu, separators aside; an item without a letter is given one.
void RepairMenu(const QList<QAction *> &items);

// Every label with a field, button, check box, frame and tab of window. What the window shows
// at all times (the menu bar first) shares the letters with each page of a tab widget; pages
// (a stacked widget's children, or a widget with the property "mnemonicPage") may reuse
// each other's letters, since only one of them shows. Order: the Tab key's order.
void RepairWindow(QWidget &window);

} // namespace Mnemonics
