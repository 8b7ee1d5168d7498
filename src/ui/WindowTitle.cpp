#include "ui/WindowTitle.h"

#include <QFontMetrics>
#include <QWidget>

namespace WindowTitle {

int NeededWidth(const QWidget &window, const QString &text)
{
    // Window managers draw titles in a bold face of about the application's size.
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(text) + 8 * metrics.height();
}

void Show(QWidget &window, const QString &title, const QString &nameFirst)
{
    const int needed = NeededWidth(window, title);
    if (needed <= MaxWidth)
        window.setMinimumWidth(qMax(window.minimumWidth(), needed));
    window.setWindowTitle(needed <= MaxWidth ? title : nameFirst);
}

} // namespace WindowTitle
