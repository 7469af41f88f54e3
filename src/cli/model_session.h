#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "model/model.h"

namespace tb::cli {

// The statistics settings the smart-folder commands use, read from the program's settings file.
StatisticsOptions statistics_options();

// Prints the usage; returns exit code 2.
int fail_usage(CliContext& context, const std::string& usage);

// The model over the context's database, with the folders loaded and the journal on, as the
// program has it once its main window is up. Links are read as a command asks for them. Edits
// are journalled; nothing is purged here.
class ModelSession {
public:
    explicit ModelSession(CliContext& context);

    bool ok() const { return model_ != nullptr; }
    Model& model() { return *model_; }
    const Model& model() const { return *model_; }
    CliContext& context() { return context_; }

    // A live folder by full name ("/A/B", "/" for the root) or by id; no value when unknown.
    std::optional<RowId> find_folder(const std::string& name) const;
    // The same, 0 after "No folder '...'." when unknown.
    RowId resolve_folder(const std::string& name);
    // A live link by id; nothing after a message.
    std::optional<Link> resolve_link(const std::string& id_text);

    // Counts the reports so far; refused() tells whether the core reported since.
    void mark() { mark_ = context_.reporter().reported(); }
    bool refused() const { return context_.reporter().reported() > mark_; }

    // Prints links as tab-separated rows or as a JSON array.
    void print_links(const std::vector<Link>& links);

private:
    CliContext& context_;
    std::unique_ptr<Model> model_;
    int mark_ = 0;
};

// Runs a command that takes no arguments on the loaded model. Exit code 2 after the usage when
// arguments are given, 1 when the database cannot be opened, else what `body` returns.
int run_on_model(CliContext& context, const std::string& usage,
                 const std::function<int(ModelSession&)>& body);

// The same for a command whose one argument is a link id; 1 after a message when there is no
// such link.
int run_on_link(CliContext& context, const std::string& usage,
                const std::function<int(ModelSession&, const Link&)>& body);

// A whole non-negative decimal number that fits a row id, or -1.
RowId parse_id(const std::string& text);
// A time as the tool prints it; "never" for 0.
std::string time_text(std::int64_t seconds);

}  // namespace tb::cli
