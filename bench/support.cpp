#include "support.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <string_view>

extern char** environ;

namespace tb::bench {

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Reads the child's output to its end, noting when `mark` first appears; keeps only the first
// kKeptOutput bytes and counts the rows of the rest.
void read_output(int fd, const std::string& mark, Clock::time_point start,
                 ProcessFigures& figures) {
    char buffer[65536];
    bool marked = mark.empty();
    bool tab_in_line = false;
    // The end of the output read so far, for a mark that spans two reads.
    std::string recent;
    for (ssize_t n = read(fd, buffer, sizeof buffer); n != 0; n = read(fd, buffer, sizeof buffer)) {
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        const std::string_view chunk(buffer, static_cast<size_t>(n));
        figures.output.append(chunk.substr(0, kKeptOutput - figures.output.size()));
        for (char c : chunk) {
            if (c == '\n') {
                figures.rows += tab_in_line ? 1 : 0;
                tab_in_line = false;
            } else {
                tab_in_line = tab_in_line || c == '\t';
            }
        }
        if (!marked) {
            recent.append(chunk);
            marked = recent.find(mark) != std::string::npos;
            figures.wall = marked ? since(start) : 0;
            recent.erase(0, recent.size() - std::min(recent.size(), mark.size()));
        }
    }
}

void show_errors(const std::vector<std::string>& argv, FILE* errors) {
    std::fprintf(stderr, "failed:");
    for (const std::string& word : argv) {
        std::fprintf(stderr, " %s", word.c_str());
    }
    std::fputc('\n', stderr);
    std::rewind(errors);
    char line[1024];
    while (std::fgets(line, sizeof line, errors) != nullptr) {
        std::fputs(line, stderr);
    }
}

}  // namespace

void check(bool ok) {
    if (!ok) {
        std::fprintf(stderr, "a step of the setup failed\n");
        std::exit(1);
    }
}

double own_peak_mb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double time_of(const std::function<void()>& fn) {
    auto start = Clock::now();
    fn();
    return since(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double best_of(int runs, const std::function<void()>& fn) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        best = std::min(best, time_of(fn));
    }
    return best;
}

double median_of(int runs, const std::function<void()>& fn) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(time_of(fn));
    }
    return median(times);
}

void report(const std::string& name, double seconds, double reference, double target) {
    double ratio = reference > 0 ? seconds / reference : 0;
    std::printf("%s: %.4f s vs reference %.4f s, ratio %.2f (target <= %.2f) %s\n", name.c_str(),
                seconds, reference, ratio, target, ratio <= target ? "OK" : "OVER");
}

bool generate_bookmarks(int links, const std::filesystem::path& out) {
    std::string command = "python3 '" TB_SHARED_BENCH "/gen_bookmarks.py' " +
                          std::to_string(links) + " '" + out.string() + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

std::filesystem::path make_temp_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tb-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern)
                                              : std::filesystem::path();
}

int links_from_args(int argc, char** argv) {
    const int links = argc > 1 ? std::atoi(argv[1]) : 100000;
    return links > 0 ? links : 100000;
}

double time_goal(double seconds_at_million, int links) {
    return links >= 1000000 ? seconds_at_million : seconds_at_million / 5;
}

ProcessFigures run_process(const std::vector<std::string>& argv, const std::string& mark) {
    ProcessFigures figures;
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        return figures;
    }
    std::vector<char*> words;
    for (const std::string& word : argv) {
        words.push_back(const_cast<char*>(word.c_str()));
    }
    words.push_back(nullptr);
    // Kept aside and shown only when the process fails: the messages of a success are noise here.
    FILE* errors = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    if (errors != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, fileno(errors), 2);
    }
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[1]);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, words[0], &actions, nullptr, words.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (spawned != 0) {
        close(pipe_fds[0]);
        if (errors != nullptr) {
            std::fclose(errors);
        }
        return figures;
    }
    read_output(pipe_fds[0], mark, start, figures);
    close(pipe_fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (mark.empty()) {
        figures.wall = since(start);
    }
    auto time_of = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    figures.cpu = time_of(usage.ru_utime) + time_of(usage.ru_stime);
    figures.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && figures.wall > 0;
    if (errors != nullptr) {
        if (!figures.ok) {
            show_errors(argv, errors);
        }
        std::fclose(errors);
    }
    return figures;
}

ProcessFigures median_process(int runs, const std::function<ProcessFigures()>& run) {
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> peak;
    ProcessFigures last;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        last = run();
        ok = ok && last.ok;
        wall.push_back(last.wall);
        cpu.push_back(last.cpu);
        peak.push_back(last.peak_mb);
    }
    last.ok = ok;
    last.wall = median(wall);
    last.cpu = median(cpu);
    last.peak_mb = median(peak);
    return last;
}

ProcessFigures run_cli(const std::filesystem::path& data, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {TB_CLI_PATH, "--data-dir", data.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_process(argv);
}

bool prepare_data(int links, const std::filesystem::path& dir, const std::filesystem::path& data) {
    const std::filesystem::path file = dir / "bookmarks.html";
    return generate_bookmarks(links, file) &&
           run_cli(data, {"import", "bookmarks", file.string()}).ok;
}

void print_header(int links) {
    std::printf("\n%d links\n%-44s | %-30s | %-18s | %-34s | %s\n", links, "work", "figure",
                "reference", "ratio or goal", "pass/fail");
}

void print_row(const std::string& work, const std::string& figure, const std::string& reference,
               const std::string& goal, bool pass) {
    std::printf("%-44s | %-30s | %-18s | %-34s | %s\n", work.c_str(), figure.c_str(),
                reference.c_str(), goal.c_str(), pass ? "pass" : "FAIL");
}

std::string describe(const ProcessFigures& figures) {
    char text[96];
    std::snprintf(text, sizeof text, "%.3f s, %.3f s CPU, %.0f MB%s", figures.wall, figures.cpu,
                  figures.peak_mb, figures.ok ? "" : " (failed)");
    return text;
}

std::string seconds_text(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f s", seconds);
    return text;
}

std::string ratio_text(double ratio, double goal) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2fx (goal <= %.1fx)", ratio, goal);
    return text;
}

}  // namespace tb::bench
