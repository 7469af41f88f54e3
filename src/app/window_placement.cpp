#include "app/window_placement.h"

#include <algorithm>

namespace tb::app {

namespace {

// How much of the window's top edge must show for the user to reach its title bar.
constexpr int kReachableWidth = 64;

int top_edge_shown(const QRect& window, const QRect& screen) {
    return QRect(window.x(), window.y(), window.width(), 1).intersected(screen).width();
}

}  // namespace

QRect placed_window_geometry(const QRect& saved, const QList<QRect>& screens,
                             const QRect& primary) {
    const QRect* holder = nullptr;
    for (const QRect& screen : screens) {
        if (holder == nullptr || top_edge_shown(saved, screen) > top_edge_shown(saved, *holder)) {
            holder = &screen;
        }
    }
    if (holder != nullptr &&
        top_edge_shown(saved, *holder) >= std::min(kReachableWidth, saved.width())) {
        return {saved.topLeft(), saved.size().boundedTo(holder->size())};
    }
    return {primary.topLeft(), saved.size().boundedTo(primary.size())};
}

}  // namespace tb::app
