#pragma once

#include <QIcon>

namespace tb::app {

// The program icon, from pixmaps rendered from the SVG, so that it shows even where Qt has no
// SVG support. Qt scales the nearest size for any other.
QIcon program_icon();

}  // namespace tb::app
