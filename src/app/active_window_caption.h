#pragma once

#include <QString>

namespace tb::app {

// The caption of the desktop's active window (_NET_ACTIVE_WINDOW and its _NET_WM_NAME on X11),
// or empty where it cannot be read: other window systems, or a build without libxcb.
QString active_window_caption();

}  // namespace tb::app
