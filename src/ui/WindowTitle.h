#pragma once

#include <QString>

class QWidget;

// The title of a window that edits one file. The window is widened to what its title bar
// needs for the usual title; when that would be wider than MaxWidth it shows the title
// with the file's name first, so a title bar too narrow cuts the rest, never the name.
namespace WindowTitle {

inline constexpr int MaxWidth = 1000;

void Show(QWidget &window, const QString &title, const QString &nameFirst);

// The width a title bar needs for text: the text in bold and room for the icon and the
// three buttons.
int NeededWidth(const QWidget &window, const QString &text);

} // namespace WindowTitle
