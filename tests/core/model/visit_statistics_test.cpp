#include "model/visit_statistics.h"

#include "model_fixture.h"

namespace tb::test {
namespace {

class VisitStatisticsTest : public ModelTest {
protected:
    VisitStatisticsTest() {
        open_folder = folder("Open");
        protected_folder = folder("Safe");
        model.folders.rename_folder(protected_folder, "Safe", true);
    }

    // One link per count in the open folder, and heavily visited links in the protected one
    // that would change every statistic if they took part.
    void visits(const std::vector<int>& counts) {
        for (int n : counts) {
            int id = link(open_folder, "l" + std::to_string(serial++));
            set_visits(id, n, n != 0 ? kNow : 0);
        }
        for (int i = 0; i < 3; ++i) {
            set_visits(link(protected_folder, "p" + std::to_string(serial++)), 50, kNow);
        }
    }
    std::vector<int> most_visited_counts() {
        std::vector<int> out;
        for (const Link& l : model.statistics.build_most_visited()) {
            out.push_back(l.visits);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    static constexpr std::int64_t kNow = 1700000000;
    int open_folder = 0;
    int protected_folder = 0;
    int serial = 0;
};

TEST_F(VisitStatisticsTest, ModeBreaksTiesTowardsTheSmallerValue) {
    visits({1, 1, 2, 2, 5, 0});
    EXPECT_EQ(model.statistics.calculate_favourites(1), 1);
    EXPECT_EQ(most_visited_counts(), (std::vector<int>{2, 2, 5}));
}

TEST_F(VisitStatisticsTest, ModeWithNothingVisitedIsOne) {
    visits({0, 0});
    EXPECT_EQ(model.statistics.calculate_favourites(1), 1);
    EXPECT_TRUE(most_visited_counts().empty());
}

TEST_F(VisitStatisticsTest, MeanCountsOnlyVisitedLinks) {
    visits({0, 2, 4});
    EXPECT_EQ(model.statistics.calculate_favourites(0), 3);
    EXPECT_EQ(most_visited_counts(), std::vector<int>{4});
}

TEST_F(VisitStatisticsTest, MeanWithNothingVisitedLeavesMostVisitedEmpty) {
    visits({0, 0, 0});
    EXPECT_EQ(model.statistics.calculate_favourites(0), 0);
    EXPECT_TRUE(most_visited_counts().empty());
    EXPECT_EQ(model.statistics.calculate_favourites(7), 0);
}

TEST_F(VisitStatisticsTest, MedianOfDistinctCounts) {
    visits({1, 3, 8, 8, 1, 0});
    EXPECT_EQ(model.statistics.calculate_favourites(2), 3);
    EXPECT_EQ(most_visited_counts(), (std::vector<int>{8, 8}));
    visits({10});
    EXPECT_EQ(model.statistics.calculate_favourites(2), 5);
}

TEST_F(VisitStatisticsTest, MedianWithNothingVisitedIsZero) {
    visits({});
    EXPECT_EQ(model.statistics.calculate_favourites(2), 0);
    EXPECT_TRUE(most_visited_counts().empty());
}

TEST_F(VisitStatisticsTest, RecentlyVisitedWindowAndProtection) {
    visits({});
    int recent = link(open_folder, "recent");
    int old = link(open_folder, "old");
    set_visits(recent, 1, kNow - 3600);
    set_visits(old, 1, kNow - 25 * 3600);
    auto list = model.statistics.build_recently_visited(24, kNow);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].id, recent);
    EXPECT_TRUE(model.statistics.build_recently_visited(0, kNow).empty());
}

TEST_F(VisitStatisticsTest, VisitsCountFromTheArrayAndKeep64BitTimes) {
    visits({});
    int id = link(open_folder, "x");
    const std::int64_t t1 = 4102444800;  // 2100-01-01
    ASSERT_TRUE(model.statistics.update_visits_counter(id, model.links.find(id)->visits, t1));
    ASSERT_TRUE(model.statistics.update_visits_counter(id, model.links.find(id)->visits, t1 + 5));
    EXPECT_EQ(model.links.find(id)->visits, 2);
    EXPECT_EQ(model.links.find(id)->last_visit, t1 + 5);
    EXPECT_EQ(model.links.last_opened(), id);
    EXPECT_EQ(db.query_int(sql_format("SELECT last_visit FROM tb_links WHERE id = %d", id)),
              t1 + 5);
    EXPECT_EQ(model.statistics.build_recently_visited(1, t1 + 60).size(), 1u);
    model.statistics.expire_links({}, t1 + 60);
    EXPECT_EQ(model.links.find(id)->visits, 2);
    EXPECT_EQ(model.links.find(id)->last_visit, t1 + 5);
}

TEST_F(VisitStatisticsTest, ExpiryResetsInactiveLinksAndReloads) {
    visits({});
    int never_stamped = link(open_folder, "never");
    int stale = link(open_folder, "stale");
    int fresh = link(open_folder, "fresh");
    set_visits(never_stamped, 3, 0);
    set_visits(stale, 4, kNow - 7 * kSecondsPerMonth);
    set_visits(fresh, 5, kNow - 5 * kSecondsPerMonth);

    EXPECT_EQ(model.statistics.expire_links({.reset_inactive = false}, kNow), 0);
    EXPECT_EQ(model.statistics.expire_links({.reset_after_months = 6}, kNow), 2);
    EXPECT_EQ(model.links.find(never_stamped)->visits, 0);
    EXPECT_EQ(model.links.find(stale)->last_visit, 0);
    EXPECT_EQ(model.links.find(fresh)->visits, 5);
    // The array was reloaded, so the next visit counts from 0.
    model.statistics.update_visits_counter(stale, model.links.find(stale)->visits, kNow);
    EXPECT_EQ(db.query_int(sql_format("SELECT visits FROM tb_links WHERE id = %d", stale)), 1);
    EXPECT_NE(read_file(dir / "tagberry.log").find("expire_links(): old link found: never."),
              std::string::npos);
}

TEST_F(VisitStatisticsTest, ResetsOfLinkFolderAndAll) {
    visits({});
    int sub = folder("Sub", open_folder);
    int a = link(open_folder, "a");
    int b = link(open_folder, "b");
    int c = link(sub, "c");
    for (int id : {a, b, c}) {
        set_visits(id, 4, kNow);
    }
    model.statistics.reset_link_usage(a);
    EXPECT_EQ(model.links.find(a)->visits, 0);
    EXPECT_EQ(model.links.find(b)->visits, 4);
    model.statistics.reset_folder_usage(open_folder);
    EXPECT_EQ(model.links.find(b)->visits, 0);
    EXPECT_EQ(model.links.find(c)->visits, 4);
    model.statistics.reset_all_usage();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_links WHERE visits <> 0 OR last_visit <> 0"), 0);
    // Resets are not journalled.
    EXPECT_EQ(count("SELECT COUNT(*) FROM tb_undo WHERE action NOT IN (4, 5, 6)"), 0);
}

class RecordingLauncher : public Launcher {
public:
    bool launch(const std::string& address) override {
        launched.push_back(address);
        return succeed;
    }
    std::vector<std::string> launched;
    bool succeed = true;
};

TEST_F(VisitStatisticsTest, OpenLaunchesAndCountsEvenWhenTheLaunchFails) {
    visits({});
    int id = link(open_folder, "x", "https://x.org/a b");
    RecordingLauncher launcher;
    EXPECT_TRUE(model.statistics.open_link(id, launcher, kNow));
    launcher.succeed = false;
    EXPECT_FALSE(model.statistics.open_link(id, launcher, kNow + 1));
    EXPECT_EQ(launcher.launched,
              (std::vector<std::string>{"https://x.org/a b", "https://x.org/a b"}));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Cannot launch application.");
    EXPECT_EQ(model.links.find(id)->visits, 2);
    EXPECT_EQ(model.links.find(id)->last_visit, kNow + 1);
    EXPECT_FALSE(model.statistics.open_link(9999, launcher, kNow));
    EXPECT_EQ(launcher.launched.size(), 2u);
}

}  // namespace
}  // namespace tb::test
