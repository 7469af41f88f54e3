#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tb::test {

class TempDir;

struct CliResult {
    int code = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

// The real tagberry-cli with "--data-dir data_dir" and the given arguments, started without a
// shell and without waiting; its output goes to a folder of its own, since tests run in
// parallel. extra_path, when set, is put in front of PATH. A process still running when this is
// destroyed is killed.
class CliProcess {
public:
    CliProcess(const std::filesystem::path& data_dir, const std::vector<std::string>& args,
               const std::string& extra_path = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Waits for the end and returns the exit status and the output.
    CliResult wait();
    // SIGKILL, as a crash or a power cut would end it, then waits.
    CliResult kill();

private:
    std::unique_ptr<TempDir> capture_;
    pid_t pid_ = 0;
};

// Runs the command to its end.
CliResult run_cli(const std::filesystem::path& data_dir, const std::vector<std::string>& args,
                  const std::string& extra_path = {});

}  // namespace tb::test
