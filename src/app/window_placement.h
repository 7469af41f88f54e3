#pragma once

#include <QList>
#include <QRect>

namespace tb::app {

// Where a window saved at `saved` (its frame's position and its size) reopens, given the free
// areas of the screens and of the primary screen: where it was while enough of its top edge
// shows on a screen, else at the top-left of the primary screen (the screen it was on is gone).
// It never grows past the screen that shows most of its top edge.
QRect placed_window_geometry(const QRect& saved, const QList<QRect>& screens, const QRect& primary);

}  // namespace tb::app
