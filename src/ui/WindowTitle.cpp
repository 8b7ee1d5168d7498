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

QString Text(const QWidget &window, const QString &caption, const QString &name, int width)
{
    const QString usual = caption + QStringLiteral(" (") + name + u')';
    return NeededWidth(window, usual) <= width ? usual : name + QStringLiteral(" - ") + caption;
}

void Show(QWidget &window, const QString &caption, const QString &name)
{
    const QString usual = caption + QStringLiteral(" (") + name + u')';
    const int needed = NeededWidth(window, usual);
    if (needed <= MaxWidth)
        window.setMinimumWidth(qMax(window.minimumWidth(), needed));
    window.setWindowTitle(Text(window, caption, name, MaxWidth));
}

} // namespace WindowTitle
