#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/parsed_args.h"
#include "platform/reporter.h"
#include "storage/database.h"

namespace tb::cli {

// Prints every report on standard error, as the program would show it in a message box.
class StderrReporter : public Reporter {
public:
    using Reporter::report;
    void report(const Message& message) override;
    int reported() const { return reported_; }

private:
    int reported_ = 0;
};

// What every command gets: its arguments, the output stream, the options shared by all commands
// and the database, opened on first use.
class CliContext {
public:
    CliContext(ParsedArgs args, std::ostream& out, std::optional<std::filesystem::path> data_dir,
               bool json);
    ~CliContext();

    // The positional arguments, in their order.
    const std::vector<std::string>& args() const { return args_.positional; }
    const ParsedArgs& parsed() const { return args_; }
    std::ostream& out() { return out_; }
    bool json() const { return json_; }
    StderrReporter& reporter() { return reporter_; }
    const std::filesystem::path& data_folder() const { return data_folder_; }

    // Opens or creates the database like the program does; null (after a message) on failure.
    Database* database();

    // Prints a refusal on standard error; returns the exit code to use.
    int fail(const std::string& text, int code = 1);

private:
    ParsedArgs args_;
    std::ostream& out_;
    bool json_;
    std::filesystem::path data_folder_;
    StderrReporter reporter_;
    std::unique_ptr<Database> db_;
};

}  // namespace tb::cli
