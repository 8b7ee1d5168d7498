#pragma once

#include <QString>
#include <QVariant>

class QRect;
class QWidget;

// The layout of the windows, remembered per user in the desktop's settings location
// (~/.config/Tessaly/ConfigurationSelector.conf), never beside the program: lib/ holds only
// configurations.
namespace WindowState {

enum class Remember { Size, SizeAndPosition };

// Gives window the size (and position) it had when last hidden, fitted to the screens of
// now, and saves them each time it is hidden again. A window never opens larger than the
// screen's free area, and a position from which its title bar could not be reached (a
// screen unplugged since) is dropped.
void Keep(QWidget *window, const QString &key, Remember what);

// The contents' rectangle of a window whose frame (title bar and borders included) is frame
// and whose contents are inner, such that the whole frame lies inside free: moved in first,
// then made smaller where it is larger than free. A remembered position is the frame's, a
// remembered size the contents', so only the shown window can tell where its edges are.
QRect FitInside(const QRect &frame, const QRect &inner, const QRect &free);

// Further values of a window's group, such as its list's columns.
QVariant Value(const QString &key, const QString &name, const QVariant &fallback = {});
void SetValue(const QString &key, const QString &name, const QVariant &value);

} // namespace WindowState
