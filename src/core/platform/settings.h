#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tb {

// Where settings are kept: QSettings in the GUI, the settings file read-only in the command-line
// tool, a map in tests. A value that is absent or cannot be read is std::nullopt.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<int> read_int(std::string_view name) = 0;
    virtual std::optional<std::string> read_text(std::string_view name) = 0;
    virtual void write_int(std::string_view name, int value) = 0;
    virtual void write_text(std::string_view name, std::string_view value) = 0;
};

// An entry of the "Open With" browser list.
struct Application {
    int index = 0;
    std::string name;
    std::string path;

    bool operator==(const Application&) const = default;
};

// Every user preference. A default-constructed value holds the defaults of the settings table.
struct Settings {
    Settings();

    int left_pane_width;
    int list_style;
    std::vector<Application> applications;
    int language;
    int recent_links_timespan;
    bool highlight_unvisited_links;
    bool reset_visits_for_inactive_links;
    int reset_visits_after_timespan;
    int favourites_mode;
    bool show_drop_window;
    int drop_window_pos_x;
    int drop_window_pos_y;
    bool minimise_to_tray;
    bool always_show_item_properties;
    int update_channels_every;
    int feed_download_deadline;  // seconds one newsfeed download may take in all
    // The main window's place on the desktop when it is not maximised; a width of 0 means that
    // it was never saved.
    int window_pos_x;
    int window_pos_y;
    int window_width;
    int window_height;
    bool window_maximised;

    bool operator==(const Settings&) const = default;
};

enum class SettingType { Number, Flag, Text };

// The two texts that hold the application list, one row each.
enum class ApplicationText { Names, Paths };

using SettingField = std::variant<int Settings::*, bool Settings::*, ApplicationText>;

// One stored value: its name in the store, the field it fills, and for numbers and flags the
// default and the accepted range. Texts default to empty.
struct SettingRow {
    std::string_view name;
    SettingField field;
    int default_value = 0;
    int min = 0;
    int max = 0;

    SettingType type() const;
};

// Every setting, in reading order.
std::span<const SettingRow> setting_rows();
// The rows in writing order.
std::vector<const SettingRow*> setting_rows_in_writing_order();

// Reads every value; a missing value, or a number outside its range, takes its default.
Settings load_settings(SettingsStore& store);
// Writes every value, flags as 0 or 1.
void save_settings(const Settings& settings, SettingsStore& store);

// The stored form of a list of names or paths: every non-empty piece followed by ";", with
// trailing ";" collapsed to one. Empty when no piece is non-empty.
std::string join_application_texts(const std::vector<std::string>& pieces);
// The non-empty pieces between ";" separators; a text without any ";" holds no pieces.
std::vector<std::string> split_application_text(std::string_view text);

// The names text and the paths text of a list.
std::pair<std::string, std::string> encode_applications(const std::vector<Application>& list);
// Pairs names and paths by position up to the shorter list; empty when either text is empty.
std::vector<Application> decode_applications(std::string_view names, std::string_view paths);

}  // namespace tb
