#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <ostream>

#include "cli/command_registry.h"
#include "cli/json_writer.h"
#include "cli/model_session.h"
#include "exchange/browser_import.h"
#include "exchange/browser_profiles.h"
#include "exchange/import_driver.h"
#include "platform/messages.h"
#include "text/control_chars.h"

namespace tb::cli {

namespace {

constexpr const char* kUsage =
    "import SOURCE [PATH] [--target NAME] [--ignore-existing] [--ignore-structure] "
    "[--no-recursive] [--update]";

std::optional<ImportSource> parse_source(const std::string& name) {
    if (name == "bookmarks")
        return ImportSource::BookmarkFile;
    if (name == "favourites")
        return ImportSource::Favourites;
    if (name == "legacy")
        return ImportSource::LegacyDatabase;
    if (name == "shortcuts")
        return ImportSource::Shortcuts;
    if (name == "html")
        return ImportSource::HtmlFile;
    if (name == "html-dir")
        return ImportSource::HtmlFolder;
    if (name == "firefox" || name == "chromium")
        return ImportSource::BrowserProfile;
    return std::nullopt;
}

std::string profile_line(const BrowserProfile& profile) {
    std::string line = profile_title(profile);
    if (std::optional<int> links = profile_link_count(profile)) {
        line += " (" + std::to_string(*links) + " bookmarks)";
    }
    return line + "\t" + profile.folder.string();
}

int list_browser_profiles(CliContext& context) {
    std::vector<BrowserProfile> profiles =
        discover_browser_profiles(process_environment(), current_host_system());
    if (profiles.empty()) {
        return context.fail("No browser profile was found.");
    }
    for (const BrowserProfile& profile : profiles) {
        context.out() << profile_line(profile) << "\n";
    }
    return 0;
}

// A discovered profile of the family named by its profile name, its title or nothing (then the
// first one); else the argument is taken as a path.
std::optional<BrowserProfile> find_profile(BrowserFamily family, const std::string& wanted) {
    for (const BrowserProfile& profile :
         discover_browser_profiles(process_environment(), current_host_system())) {
        if (profile.family == family &&
            (wanted.empty() || wanted == profile.name || wanted == profile_title(profile))) {
            return profile;
        }
    }
    if (wanted.empty()) {
        return std::nullopt;
    }
    return profile_for_path(wanted, family);
}

// "Importing: N of M" on standard error, once the import has run for a second, on a terminal.
class ProgressLine {
public:
    ProgressLine() : start_(std::chrono::steady_clock::now()), terminal_(isatty(2) != 0) {}
    ~ProgressLine() {
        if (shown_) {
            std::cerr << '\n';
        }
    }

    void update(std::size_t done, std::size_t total) {
        if (!terminal_) {
            return;
        }
        auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            now - last_ < std::chrono::milliseconds(100)) {
            return;
        }
        last_ = now;
        shown_ = true;
        std::cerr << "\rImporting: " << done;
        if (total != 0) {
            std::cerr << " of " << total;
        }
        std::cerr << " items" << std::flush;
    }

private:
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
    bool terminal_;
    bool shown_ = false;
};

int run_import_command(CliContext& context) {
    const auto& args = context.args();
    if (args.empty()) {
        return context.fail(std::string("usage: ") + kUsage, 2);
    }
    if (args[0] == "browsers") {
        return args.size() == 1 ? list_browser_profiles(context)
                                : context.fail(std::string("usage: ") + kUsage, 2);
    }
    std::optional<ImportSource> source = parse_source(args[0]);
    if (!source) {
        return context.fail(
            "Unknown import source '" + args[0] +
                "'; use bookmarks, favourites, legacy, shortcuts, html, html-dir, firefox, "
                "chromium or browsers.",
            2);
    }
    ImportRequest request;
    request.source = *source;
    const ParsedArgs& parsed = context.parsed();
    if (args.size() > 2 ||
        (parsed.has("--update") && request.source != ImportSource::BrowserProfile)) {
        return context.fail(std::string("usage: ") + kUsage, 2);
    }
    if (args.size() == 2) {
        request.path = args[1];
    }
    std::optional<std::string> target;
    if (const std::string* name = parsed.value("--target")) {
        target = *name;
    }
    request.options.ignore_existing = parsed.has("--ignore-existing");
    request.options.ignore_structure = parsed.has("--ignore-structure");
    request.options.recursive = !parsed.has("--no-recursive");
    request.options.update_earlier = parsed.has("--update");
    if (request.source == ImportSource::BrowserProfile) {
        BrowserFamily family =
            args[0] == "chromium" ? BrowserFamily::Chromium : BrowserFamily::Firefox;
        std::optional<BrowserProfile> profile = find_profile(family, request.path.string());
        if (!profile) {
            return context.fail(request.path.empty() ? "No " + args[0] + " profile was found."
                                                     : "No browser bookmarks were found in " +
                                                           request.path.string() + ".");
        }
        request.path = profile->folder;
        if (!target) {
            target = profile_title(*profile);
        }
    }
    if (request.source == ImportSource::Favourites && !request.path.empty()) {
        return context.fail(english_string(msg::kFavouritesAutomatic), 2);
    }
    if (int message = missing_path_message(request.source, request.path.string()); message != 0) {
        return context.fail(english_string(message));
    }
    ModelSession session(context);
    if (!session.ok()) {
        return 1;
    }
    Model& model = session.model();
    request.target =
        target ? *target
               : proposed_target_name(model.folders, request.source, request.path.string());
    ProgressLine line;
    ImportProgress progress;
    progress.report = [&line](std::size_t done, std::size_t total) { line.update(done, total); };
    ImportResult result = run_import(model, request, progress);
    if (result.status != ImportStatus::Done) {
        return 1;
    }
    if (context.json()) {
        JsonObject json;
        json.add("top_folder", static_cast<std::int64_t>(result.top_folder));
        json.add("title", result.top_title);
        json.add("folders", static_cast<std::int64_t>(result.folders));
        json.add("links", static_cast<std::int64_t>(result.links));
        if (request.source == ImportSource::BrowserProfile) {
            json.add("already_present", static_cast<std::int64_t>(result.links_present));
        }
        context.out() << json.str() << "\n";
    } else {
        context.out() << "Top folder:  " << result.top_folder << " "
                      << escape_control_chars(result.top_title) << "\n"
                      << "Folders:     " << result.folders << "\n"
                      << "Links:       " << result.links << "\n";
        if (request.source == ImportSource::BrowserProfile) {
            context.out() << result.links << " new, " << result.links_present
                          << " already present\n";
        }
    }
    return 0;
}

const Registration import_command{
    {"import",
     kUsage,
     "Imports bookmarks into a new top folder. SOURCE: bookmarks (a bookmark file), favourites "
     "(the Favourites folder), legacy (a Tagberry 1.x folder), shortcuts (a folder of .url "
     "files), html (one page), html-dir (a folder of pages). --target names the top folder of "
     "bookmarks, favourites, html and the browsers. firefox and chromium read a browser profile, "
     "named as 'import browsers' lists it or by its folder, a places.sqlite, a .json or "
     ".jsonlz4 backup or a Bookmarks file; without one, the first profile found. --update "
     "imports into the top folder of the profile's earlier import, adding only what is new. "
     "'import browsers' lists the profiles found.",
     run_import_command,
     {{"--target", "NAME", "the title of the new top folder"},
      {"--ignore-existing", "", "skips links whose address is already stored"},
      {"--ignore-structure", "", "puts every link straight into the top folder"},
      {"--no-recursive", "", "reads only the folder given, not the folders below it"},
      {"--update", "", "firefox and chromium: adds only what is new since the earlier import"}}}};

}  // namespace

}  // namespace tb::cli
