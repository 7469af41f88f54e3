#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tb::test {

struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the real tagberry-cli with "--data-dir data_dir" and the given arguments, without a shell.
// extra_path, when set, is put in front of PATH.
CliResult run_cli(const std::filesystem::path& data_dir, const std::vector<std::string>& args,
                  const std::string& extra_path = {});

}  // namespace tb::test
