#include "cli/import_session.h"

namespace tb::cli {

Model* ImportSession::open(CliContext& context) {
    if (!model_) {
        Database* db = context.database();
        if (db == nullptr) {
            return nullptr;
        }
        model_ = std::make_unique<Model>(*db);
        model_->load();
    }
    return model_.get();
}

}  // namespace tb::cli
