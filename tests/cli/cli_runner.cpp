#include "cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/test_support.h"

extern char** environ;

namespace tb::test {

CliProcess::CliProcess(const std::filesystem::path& data_dir, const std::vector<std::string>& args,
                       const std::string& extra_path)
    : capture_(std::make_unique<TempDir>()) {
    const std::filesystem::path out_file = *capture_ / "cli.out";
    const std::filesystem::path err_file = *capture_ / "cli.err";
    std::vector<std::string> words = {TB_CLI_PATH, "--data-dir", data_dir.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> env_text;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        if (!extra_path.empty() && entry.rfind("PATH=", 0) == 0) {
            entry = "PATH=" + extra_path + ":" + entry.substr(5);
        }
        env_text.push_back(entry);
    }
    std::vector<char*> env;
    for (std::string& entry : env_text) {
        env.push_back(entry.data());
    }
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&pid_, TB_CLI_PATH, &actions, nullptr, argv.data(), env.data()) != 0) {
        pid_ = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
}

CliProcess::~CliProcess() {
    if (started()) {
        kill();
    }
}

CliResult CliProcess::wait() {
    CliResult result;
    if (started()) {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    result.out = read_file(*capture_ / "cli.out");
    result.err = read_file(*capture_ / "cli.err");
    return result;
}

CliResult CliProcess::kill() {
    if (started()) {
        ::kill(pid_, SIGKILL);
    }
    return wait();
}

CliResult run_cli(const std::filesystem::path& data_dir, const std::vector<std::string>& args,
                  const std::string& extra_path) {
    return CliProcess(data_dir, args, extra_path).wait();
}

}  // namespace tb::test
