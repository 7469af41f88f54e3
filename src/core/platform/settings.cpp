#include "platform/settings.h"

#include <algorithm>
#include <array>

namespace tb {

namespace {

using S = Settings;
using enum ApplicationText;

// Name, field, default, min, max. Flags accept any number (non-zero is set), so they carry no
// range; texts have neither default nor range.
constexpr std::array<SettingRow, 22> kRows{{
    {"Left pane width", &S::left_pane_width, 200, 0, 10000},
    {"List style", &S::list_style, 1, 0, 3},
    {"Application Names", Names},
    {"Application Paths", Paths},
    {"Language", &S::language, 0, 0, 1},
    {"Recent Links Timespan", &S::recent_links_timespan, 24, 0, 72},
    {"Highlight Unvisited Links", &S::highlight_unvisited_links, 1},
    {"Reset Visits for Inactive Links", &S::reset_visits_for_inactive_links, 1},
    {"Reset Visits After Timespan", &S::reset_visits_after_timespan, 6, 0, 12},
    {"Favourites Mode", &S::favourites_mode, 1, 0, 2},
    {"Show Drop Window", &S::show_drop_window, 0},
    {"Drop Window Pos X", &S::drop_window_pos_x, -1, -1, 100000},
    {"Drop Window Pos Y", &S::drop_window_pos_y, -1, -1, 100000},
    {"Minimise to Tray", &S::minimise_to_tray, 0},
    {"Always Show Item Properties", &S::always_show_item_properties, 1},
    {"Update Channels Every", &S::update_channels_every, 5, 1, 15},
    {"Newsfeed Download Deadline", &S::feed_download_deadline, 120, 10, 3600},
    {"Window Pos X", &S::window_pos_x, 0, -100000, 100000},
    {"Window Pos Y", &S::window_pos_y, 0, -100000, 100000},
    {"Window Width", &S::window_width, 0, 0, 100000},
    {"Window Height", &S::window_height, 0, 0, 100000},
    {"Window Maximised", &S::window_maximised, 0},
}};

// Indexes into kRows: the list style goes before the pane width, the rest as read.
constexpr std::array<std::size_t, kRows.size()> kWritingOrder{
    1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};

constexpr bool is_permutation_of_rows() {
    std::array<bool, kRows.size()> seen{};
    for (std::size_t index : kWritingOrder) {
        if (index >= kRows.size() || seen[index]) {
            return false;
        }
        seen[index] = true;
    }
    return true;
}
static_assert(is_permutation_of_rows(), "every setting is written exactly once");

constexpr bool defaults_in_range() {
    for (const SettingRow& row : kRows) {
        if (std::holds_alternative<int S::*>(row.field) &&
            (row.default_value < row.min || row.default_value > row.max)) {
            return false;
        }
    }
    return true;
}
static_assert(defaults_in_range(), "a default must lie in its own range");

}  // namespace

SettingType SettingRow::type() const {
    if (std::holds_alternative<int Settings::*>(field)) {
        return SettingType::Number;
    }
    return std::holds_alternative<bool Settings::*>(field) ? SettingType::Flag : SettingType::Text;
}

Settings::Settings() {
    for (const SettingRow& row : kRows) {
        if (auto number = std::get_if<int S::*>(&row.field)) {
            this->** number = row.default_value;
        } else if (auto flag = std::get_if<bool S::*>(&row.field)) {
            this->** flag = row.default_value != 0;
        }
    }
}

std::span<const SettingRow> setting_rows() {
    return kRows;
}

std::vector<const SettingRow*> setting_rows_in_writing_order() {
    std::vector<const SettingRow*> rows;
    for (std::size_t index : kWritingOrder) {
        rows.push_back(&kRows[index]);
    }
    return rows;
}

Settings load_settings(SettingsStore& store) {
    Settings settings;
    std::string names;
    for (const SettingRow& row : kRows) {
        if (auto number = std::get_if<int S::*>(&row.field)) {
            std::optional<int> value = store.read_int(row.name);
            if (value && *value >= row.min && *value <= row.max) {
                settings.** number = *value;
            }
        } else if (auto flag = std::get_if<bool S::*>(&row.field)) {
            if (std::optional<int> value = store.read_int(row.name)) {
                settings.** flag = *value != 0;
            }
        } else if (std::get<ApplicationText>(row.field) == Names) {
            names = store.read_text(row.name).value_or("");
        } else {
            std::string paths = store.read_text(row.name).value_or("");
            settings.applications = decode_applications(names, paths);
        }
    }
    return settings;
}

void save_settings(const Settings& settings, SettingsStore& store) {
    const auto [names, paths] = encode_applications(settings.applications);
    for (const SettingRow* row : setting_rows_in_writing_order()) {
        if (auto number = std::get_if<int S::*>(&row->field)) {
            store.write_int(row->name, settings.**number);
        } else if (auto flag = std::get_if<bool S::*>(&row->field)) {
            store.write_int(row->name, settings.**flag ? 1 : 0);
        } else {
            store.write_text(row->name,
                             std::get<ApplicationText>(row->field) == Names ? names : paths);
        }
    }
}

std::string join_application_texts(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) {
        if (!piece.empty()) {
            text += piece;
            text += ';';
        }
    }
    while (!text.empty() && text.back() == ';') {
        text.pop_back();
    }
    if (!text.empty()) {
        text += ';';
    }
    return text;
}

std::vector<std::string> split_application_text(std::string_view text) {
    std::vector<std::string> pieces;
    if (text.find(';') == std::string_view::npos) {
        return pieces;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find(';', start), text.size());
        if (end > start) {
            pieces.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

std::pair<std::string, std::string> encode_applications(const std::vector<Application>& list) {
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (const Application& application : list) {
        names.push_back(application.name);
        paths.push_back(application.path);
    }
    return {join_application_texts(names), join_application_texts(paths)};
}

std::vector<Application> decode_applications(std::string_view names, std::string_view paths) {
    std::vector<Application> list;
    if (names.empty() || paths.empty()) {
        return list;
    }
    const std::vector<std::string> name_pieces = split_application_text(names);
    const std::vector<std::string> path_pieces = split_application_text(paths);
    const std::size_t count = std::min(name_pieces.size(), path_pieces.size());
    for (std::size_t i = 0; i < count; ++i) {
        list.push_back({static_cast<int>(i), name_pieces[i], path_pieces[i]});
    }
    return list;
}

}  // namespace tb
