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
    // Widened, not given a least width: that stays its layout's, which follows its texts.
    // (A window never sized yet would show at its size hint.)
    const QSize size = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
    const int needed = NeededWidth(window, title);
    if (needed <= MaxWidth && size.width() < needed)
        window.resize(needed, size.height());
    window.setWindowTitle(needed <= MaxWidth ? title : nameFirst);
}

} // namespace WindowTitle
