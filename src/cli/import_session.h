#pragma once

#include <memory>

#include "cli/cli_context.h"
#include "model/model.h"

namespace tb::cli {

// The model over the command's database, loaded as the program loads it at start.
class ImportSession {
public:
    // Null (after a message) when the database cannot be opened.
    Model* open(CliContext& context);

private:
    std::unique_ptr<Model> model_;
};

}  // namespace tb::cli
