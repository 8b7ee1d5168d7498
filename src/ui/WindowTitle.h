#pragma once

#include <QString>

class QWidget;

// The title of a window that edits one file: "caption (name)". The window is made at least as
// wide as its title bar needs for that whole text; when that would be wider than MaxWidth the
// title puts the name first ("name - caption"), so a title bar too narrow cuts the caption,
// never the file's name.
namespace WindowTitle {

inline constexpr int MaxWidth = 1000;

void Show(QWidget &window, const QString &caption, const QString &name);

// What Show puts in the title for a window whose title bar has room for width pixels of text
// measured by the window's font.
QString Text(const QWidget &window, const QString &caption, const QString &name, int width);

// The width a title bar needs for text: the text in bold and room for the icon and the
// three buttons.
int NeededWidth(const QWidget &window, const QString &text);

} // namespace WindowTitle
