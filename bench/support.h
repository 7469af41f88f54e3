#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace tb {
class Database;
}

namespace tb::bench {

// Fills the database with `links` links of realistic titles, addresses and comments in about
// links / 40 folders nested up to six levels, inserted directly in one transaction. The same
// every run.
void fill_links(tb::Database& db, int links);

// Ends the run when a write of the setup failed: a timing over a half-filled file means nothing.
void check(bool ok);

// Best of `runs` wall-clock timings of fn, in seconds.
double best_of(int runs, const std::function<void()>& fn);

// Prints "name: X s vs reference Y s, ratio R (target <= T)".
void report(const std::string& name, double seconds, double reference, double target);

// Writes the deterministic bookmark file of `links` links through the shared generator.
bool generate_bookmarks(int links, const std::filesystem::path& out);

// A fresh temporary folder for the run.
std::filesystem::path make_temp_dir();

}  // namespace tb::bench
