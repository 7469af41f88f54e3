#pragma once

#include "platform/launcher.h"

namespace tb::cli {

// Runs "xdg-open ADDRESS" directly, never through a shell, and waits for its exit status.
class XdgLauncher : public Launcher {
public:
    bool launch(const std::string& address) override;
};

}  // namespace tb::cli
