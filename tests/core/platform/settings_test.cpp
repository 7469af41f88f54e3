#include "platform/settings.h"

#include <gtest/gtest.h>

#include <map>

namespace tb {
namespace {

// Keeps values in maps and records the order of every read and write.
class MapStore : public SettingsStore {
public:
    std::optional<int> read_int(std::string_view name) override {
        reads.emplace_back(name);
        auto found = ints.find(std::string(name));
        return found != ints.end() ? std::optional<int>(found->second) : std::nullopt;
    }
    std::optional<std::string> read_text(std::string_view name) override {
        reads.emplace_back(name);
        auto found = texts.find(std::string(name));
        return found != texts.end() ? std::optional<std::string>(found->second) : std::nullopt;
    }
    void write_int(std::string_view name, int value) override {
        writes.emplace_back(name);
        ints[std::string(name)] = value;
    }
    void write_text(std::string_view name, std::string_view value) override {
        writes.emplace_back(name);
        texts[std::string(name)] = value;
    }

    std::map<std::string, int> ints;
    std::map<std::string, std::string> texts;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

const std::vector<std::string> kReadingOrder = {
    "Left pane width",
    "List style",
    "Application Names",
    "Application Paths",
    "Language",
    "Recent Links Timespan",
    "Highlight Unvisited Links",
    "Reset Visits for Inactive Links",
    "Reset Visits After Timespan",
    "Favourites Mode",
    "Show Drop Window",
    "Drop Window Pos X",
    "Drop Window Pos Y",
    "Minimise to Tray",
    "Always Show Item Properties",
    "Update Channels Every",
    "Newsfeed Download Deadline",
    "Window Pos X",
    "Window Pos Y",
    "Window Width",
    "Window Height",
    "Window Maximised",
};

TEST(SettingsTest, FreshStoreGivesDefaultsReadInOrder) {
    MapStore store;
    Settings settings = load_settings(store);

    EXPECT_EQ(store.reads, kReadingOrder);
    EXPECT_EQ(settings.left_pane_width, 200);
    EXPECT_EQ(settings.list_style, 1);
    EXPECT_TRUE(settings.applications.empty());
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(settings.recent_links_timespan, 24);
    EXPECT_TRUE(settings.highlight_unvisited_links);
    EXPECT_TRUE(settings.reset_visits_for_inactive_links);
    EXPECT_EQ(settings.reset_visits_after_timespan, 6);
    EXPECT_EQ(settings.favourites_mode, 1);
    EXPECT_FALSE(settings.show_drop_window);
    EXPECT_EQ(settings.drop_window_pos_x, -1);
    EXPECT_EQ(settings.drop_window_pos_y, -1);
    EXPECT_FALSE(settings.minimise_to_tray);
    EXPECT_TRUE(settings.always_show_item_properties);
    EXPECT_EQ(settings.update_channels_every, 5);
    EXPECT_EQ(settings.window_width, 0) << "never placed";
    EXPECT_FALSE(settings.window_maximised);
    EXPECT_EQ(settings, Settings());
}

TEST(SettingsTest, TableTypesMatchValues) {
    std::map<std::string, SettingType> types;
    for (const SettingRow& row : setting_rows()) {
        types[std::string(row.name)] = row.type();
    }
    EXPECT_EQ(types.size(), kReadingOrder.size());
    EXPECT_EQ(types["Application Names"], SettingType::Text);
    EXPECT_EQ(types["Application Paths"], SettingType::Text);
    EXPECT_EQ(types["Show Drop Window"], SettingType::Flag);
    EXPECT_EQ(types["Minimise to Tray"], SettingType::Flag);
    EXPECT_EQ(types["Drop Window Pos X"], SettingType::Number);
    EXPECT_EQ(types["Update Channels Every"], SettingType::Number);
}

TEST(SettingsTest, StoredValuesAreRead) {
    MapStore store;
    store.ints = {{"Left pane width", 321},
                  {"List style", 3},
                  {"Language", 1},
                  {"Recent Links Timespan", 0},
                  {"Highlight Unvisited Links", 0},
                  {"Reset Visits for Inactive Links", 0},
                  {"Reset Visits After Timespan", 12},
                  {"Favourites Mode", 2},
                  {"Show Drop Window", 1},
                  {"Drop Window Pos X", 1500},
                  {"Drop Window Pos Y", 0},
                  {"Minimise to Tray", 1},
                  {"Always Show Item Properties", 0},
                  {"Update Channels Every", 15}};
    store.texts = {{"Application Names", "Web;Mail;"}, {"Application Paths", "/bin/w;/bin/m;"}};
    Settings settings = load_settings(store);

    EXPECT_EQ(settings.left_pane_width, 321);
    EXPECT_EQ(settings.list_style, 3);
    EXPECT_EQ(settings.language, 1);
    EXPECT_EQ(settings.recent_links_timespan, 0);
    EXPECT_FALSE(settings.highlight_unvisited_links);
    EXPECT_FALSE(settings.reset_visits_for_inactive_links);
    EXPECT_EQ(settings.reset_visits_after_timespan, 12);
    EXPECT_EQ(settings.favourites_mode, 2);
    EXPECT_TRUE(settings.show_drop_window);
    EXPECT_EQ(settings.drop_window_pos_x, 1500);
    EXPECT_EQ(settings.drop_window_pos_y, 0);
    EXPECT_TRUE(settings.minimise_to_tray);
    EXPECT_FALSE(settings.always_show_item_properties);
    EXPECT_EQ(settings.update_channels_every, 15);
    EXPECT_EQ(settings.applications,
              (std::vector<Application>{{0, "Web", "/bin/w"}, {1, "Mail", "/bin/m"}}));
}

struct RangeCase {
    const char* name;
    int stored;
    int expected;
};

TEST(SettingsTest, NumbersOutsideTheirRangeTakeTheirDefault) {
    const RangeCase cases[] = {
        {"Update Channels Every", 0, 5},
        {"Update Channels Every", 16, 5},
        {"Update Channels Every", 1, 1},
        {"Newsfeed Download Deadline", 5, 120},
        {"Newsfeed Download Deadline", 3601, 120},
        {"Newsfeed Download Deadline", 30, 30},
        {"List style", 4, 1},
        {"List style", -1, 1},
        {"List style", 0, 0},
        {"Language", 2, 0},
        {"Recent Links Timespan", 73, 24},
        {"Recent Links Timespan", 72, 72},
        {"Reset Visits After Timespan", 13, 6},
        {"Reset Visits After Timespan", 0, 0},
        {"Favourites Mode", 3, 1},
        {"Favourites Mode", -1, 1},
        {"Drop Window Pos X", -2, -1},
        {"Drop Window Pos Y", 100001, -1},
        {"Left pane width", -5, 200},
        {"Left pane width", 10001, 200},
        {"Left pane width", 0, 0},
        // A window on a screen left of or above the primary one has a negative position.
        {"Window Pos X", -1920, -1920},
        {"Window Pos Y", 100001, 0},
        {"Window Width", -1, 0},
    };
    for (const RangeCase& c : cases) {
        MapStore store;
        store.ints[c.name] = c.stored;
        Settings settings = load_settings(store);
        MapStore written;
        save_settings(settings, written);
        EXPECT_EQ(written.ints[c.name], c.expected) << c.name << " stored as " << c.stored;
    }
}

TEST(SettingsTest, FlagsAreSetByAnyNonZeroAndWrittenAsZeroOrOne) {
    MapStore store;
    store.ints = {{"Show Drop Window", 7},
                  {"Minimise to Tray", -1},
                  {"Highlight Unvisited Links", 0},
                  {"Always Show Item Properties", 2}};
    Settings settings = load_settings(store);
    EXPECT_TRUE(settings.show_drop_window);
    EXPECT_TRUE(settings.minimise_to_tray);
    EXPECT_FALSE(settings.highlight_unvisited_links);
    EXPECT_TRUE(settings.always_show_item_properties);

    MapStore written;
    save_settings(settings, written);
    EXPECT_EQ(written.ints["Show Drop Window"], 1);
    EXPECT_EQ(written.ints["Minimise to Tray"], 1);
    EXPECT_EQ(written.ints["Highlight Unvisited Links"], 0);
    EXPECT_EQ(written.ints["Always Show Item Properties"], 1);
}

TEST(SettingsTest, SaveWritesEveryValueInWritingOrderAndReadsBack) {
    Settings settings;
    settings.list_style = 2;
    settings.left_pane_width = 250;
    settings.drop_window_pos_x = 40;
    settings.update_channels_every = 10;
    settings.reset_visits_for_inactive_links = false;
    settings.applications = {{0, "Firefox", "/usr/bin/firefox"}, {1, "Links", "/usr/bin/links"}};

    MapStore store;
    save_settings(settings, store);

    std::vector<std::string> writing_order = kReadingOrder;
    std::swap(writing_order[0], writing_order[1]);
    EXPECT_EQ(store.writes, writing_order);
    EXPECT_EQ(store.ints["Drop Window Pos Y"], -1);
    EXPECT_EQ(store.texts["Application Names"], "Firefox;Links;");
    EXPECT_EQ(store.texts["Application Paths"], "/usr/bin/firefox;/usr/bin/links;");
    EXPECT_EQ(load_settings(store), settings);
}

TEST(SettingsTest, ApplicationListsAreDecodedByPosition) {
    using List = std::vector<Application>;
    EXPECT_EQ(decode_applications("A;B;", "p1;;p2;"), (List{{0, "A", "p1"}, {1, "B", "p2"}}));
    // A text without any ";" holds no pieces.
    EXPECT_TRUE(decode_applications("A", "p1;").empty());
    EXPECT_TRUE(decode_applications("A", "p1").empty());
    EXPECT_TRUE(decode_applications("A;", "p1").empty());
    // Extra names (or paths) are ignored.
    EXPECT_EQ(decode_applications("A;B;C;", "p1;p2;"), (List{{0, "A", "p1"}, {1, "B", "p2"}}));
    EXPECT_EQ(decode_applications("A;", "p1;p2;"), (List{{0, "A", "p1"}}));
    EXPECT_TRUE(decode_applications("", "p1;").empty());
    EXPECT_TRUE(decode_applications("A;", "").empty());
    // Runs of ";" are one separator; a last piece needs no ";" after it.
    EXPECT_EQ(decode_applications(";;A;;;B", "x;y"), (List{{0, "A", "x"}, {1, "B", "y"}}));
    EXPECT_TRUE(decode_applications(";;;", "p;").empty());
}

TEST(SettingsTest, ApplicationListsAreEncodedWithOneTrailingSeparator) {
    EXPECT_EQ(join_application_texts({"A", "B", "C"}), "A;B;C;");
    EXPECT_EQ(join_application_texts({}), "");
    EXPECT_EQ(join_application_texts({"", ""}), "");
    EXPECT_EQ(join_application_texts({"A", "", "C"}), "A;C;");
    EXPECT_EQ(join_application_texts({"A;;"}), "A;");
    EXPECT_EQ(encode_applications({}), (std::pair<std::string, std::string>{"", ""}));
    EXPECT_EQ(encode_applications({{0, "A", "a"}, {1, "B", "b"}, {2, "C", "c"}}),
              (std::pair<std::string, std::string>{"A;B;C;", "a;b;c;"}));
}

TEST(SettingsTest, NameWithSeparatorShiftsLaterNamesAtNextStart) {
    MapStore store;
    Settings settings;
    settings.applications = {{0, "X;Y", "/x"}, {1, "Z", "/z"}};
    save_settings(settings, store);
    EXPECT_EQ(load_settings(store).applications,
              (std::vector<Application>{{0, "X", "/x"}, {1, "Y", "/z"}}));
}

TEST(SettingsTest, MissingPathsTextGivesEmptyList) {
    MapStore store;
    store.texts["Application Names"] = "A;B;";
    EXPECT_TRUE(load_settings(store).applications.empty());
}

}  // namespace
}  // namespace tb
