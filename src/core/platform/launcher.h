#pragma once

#include <string>

namespace tb {

// Hands an address to the desktop's handler. The GUI uses the default handler, the command-line
// tool xdg-open; tests record what they are given.
class Launcher {
public:
    virtual ~Launcher() = default;
    // False when the address could not be handed over.
    virtual bool launch(const std::string& address) = 0;
};

}  // namespace tb
