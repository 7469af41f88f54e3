#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tb::bench {

// Ends the run when a step of the setup failed: a timing over a half-made database means nothing.
void check(bool ok);

// The wall-clock time of one call of fn, in seconds.
double time_of(const std::function<void()>& fn);

// The median of the values; 0 for none.
double median(std::vector<double> values);

// Best of `runs` wall-clock timings of fn, in seconds.
double best_of(int runs, const std::function<void()>& fn);

// Median of `runs` wall-clock timings of fn, in seconds.
double median_of(int runs, const std::function<void()>& fn);

// Prints "name: X s vs reference Y s, ratio R (target <= T)".
void report(const std::string& name, double seconds, double reference, double target);

// Writes the deterministic bookmark file of `links` links through the shared generator.
bool generate_bookmarks(int links, const std::filesystem::path& out);

// A fresh temporary folder for the run.
std::filesystem::path make_temp_dir();

// The number of links the run works on: the first argument, 100,000 without one.
int links_from_args(int argc, char** argv);

// A time goal stated for 1,000,000 links; below that size the goal is a fifth of it.
double time_goal(double seconds_at_million, int links);

// What one child process cost, as wait4 reports it. `wall` ends when the child printed `mark`
// if one was asked for, else when it ended.
//
// Linux hands a process the peak of the address space it leaves when it execs, and a child
// started with posix_spawn leaves its parent's: every figure of a child is at least this
// benchmark's own peak. So the benchmark stays small: references run in processes of their own,
// and a child's output is counted as it comes instead of being kept whole. own_peak_mb() shows
// the floor, which must stay well under the figures it sits under.
struct ProcessFigures {
    double wall = 0;
    double cpu = 0;
    double peak_mb = 0;
    bool ok = false;
    // The first kKeptOutput bytes of the standard output.
    std::string output;
    // The lines of the whole output that hold a tab: the rows of tab-separated output.
    size_t rows = 0;
};

inline constexpr size_t kKeptOutput = 1 << 20;

// This benchmark's own peak memory so far, in MB.
double own_peak_mb();

// Runs the program with its standard output read through a pipe.
ProcessFigures run_process(const std::vector<std::string>& argv, const std::string& mark = {});

// Runs the process `runs` times; each figure is the median of its own runs.
ProcessFigures median_process(int runs, const std::function<ProcessFigures()>& run);

// The command-line tool on a data folder: `tagberry-cli --data-dir DIR args...`.
ProcessFigures run_cli(const std::filesystem::path& data, const std::vector<std::string>& args);

// Generates `links` links and imports them into the data folder with the command-line tool.
bool prepare_data(int links, const std::filesystem::path& dir, const std::filesystem::path& data);

// The table every scale benchmark prints: work | figure | reference | ratio or goal | pass/fail.
void print_header(int links);
void print_row(const std::string& work, const std::string& figure, const std::string& reference,
               const std::string& goal, bool pass);

// "0.123 s, 0.110 s CPU, 45 MB" for a process; "0.123 s" for a time alone.
std::string describe(const ProcessFigures& figures);
std::string seconds_text(double seconds);

// "1.23x (goal <= 1.5x)".
std::string ratio_text(double ratio, double goal);

}  // namespace tb::bench
