#pragma once

#include <QIcon>

namespace tb::app {

// Makes the icons of the program's resources available. They sit in a static library whose
// registration the linker would otherwise leave out.
void register_icons();

// The program icon, from pixmaps rendered from the SVG, so that it shows even where Qt has no
// SVG support. Qt scales the nearest size for any other.
QIcon program_icon();

}  // namespace tb::app
