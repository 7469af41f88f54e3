#include "health/link_health.h"

#include <gtest/gtest.h>

#include "core/model/model_fixture.h"
#include "health/link_check_run.h"

namespace tb::test {
namespace {

constexpr std::int64_t kHour = 60 * 60;
constexpr std::int64_t kStart = 1'700'000'000;

class LinkHealthTest : public ModelTest {
protected:
    LinkHealthTest() {
        store.load();
        shelf = folder("Shelf");
        a = link(shelf, "a", "http://a.example/");
        b = link(shelf, "b", "http://b.example/");
    }

    // Records a check of the link's present address at the clock's time.
    void checked(int id, CheckResult result, const std::string& final_url = {}) {
        const std::optional<Link> l = model.links.find(id);
        ASSERT_TRUE(l.has_value());
        CheckRecorder recorder(store, [this] { return now; });
        recorder.add({.link = id, .url = l->url, .result = result, .final_url = final_url});
        recorder.finish({.checked = 1, .hosts = 1});
    }
    Health health(int id) { return store.health(*model.links.find(id)); }
    std::int64_t rows(int id) {
        return count(sql_format("SELECT COUNT(*) FROM tb_link_checks WHERE link = %d", id));
    }

    LinkHealthStore store{db};
    std::int64_t now = kStart;
    int shelf = 0, a = 0, b = 0;
};

TEST_F(LinkHealthTest, BrokenOnlyAfterFailuresADayApart) {
    EXPECT_EQ(health(a), Health::Unchecked);
    checked(a, CheckResult::Unreachable);
    EXPECT_EQ(health(a), Health::Suspect);
    now += 23 * kHour;
    checked(a, CheckResult::Gone);
    EXPECT_EQ(health(a), Health::Suspect);
    now += kHour;
    checked(a, CheckResult::Error);
    EXPECT_EQ(health(a), Health::Broken);
    // One good answer clears it; the next failure starts again.
    now += kHour;
    checked(a, CheckResult::Ok);
    EXPECT_EQ(health(a), Health::Ok);
    now += 48 * kHour;
    checked(a, CheckResult::Gone);
    EXPECT_EQ(health(a), Health::Suspect);
    // Two failures with a success between them never add up.
    checked(b, CheckResult::Gone);
    now += 30 * kHour;
    checked(b, CheckResult::Ok);
    checked(b, CheckResult::Gone);
    EXPECT_EQ(health(b), Health::Suspect);
}

TEST_F(LinkHealthTest, KeepsTheLastThreeChecksAndReadsThemBack) {
    for (CheckResult result : {CheckResult::Gone, CheckResult::Ok, CheckResult::Error,
                               CheckResult::Moved, CheckResult::Unreachable}) {
        now += kHour;
        checked(a, result, "http://new.example/");
    }
    EXPECT_EQ(rows(a), 3);
    LinkHealthStore reread(db);
    ASSERT_TRUE(reread.load());
    const auto& checks = reread.checks_of(a);
    ASSERT_EQ(checks.size(), 3u);
    EXPECT_EQ(checks[0].result, CheckResult::Unreachable);
    EXPECT_EQ(checks[0].checked, now);
    EXPECT_EQ(checks[1].result, CheckResult::Moved);
    EXPECT_EQ(checks[1].final_url, "http://new.example/");
    EXPECT_EQ(checks[2].result, CheckResult::Error);
    EXPECT_EQ(reread.health(*model.links.find(a)), Health::Suspect);
}

TEST_F(LinkHealthTest, AChecksSpeaksOnlyForTheAddressChecked) {
    now += 30 * kHour;
    checked(a, CheckResult::Gone);
    now += 30 * kHour;
    checked(a, CheckResult::Gone);
    EXPECT_EQ(health(a), Health::Broken);
    ASSERT_TRUE(model.links.edit_link(a, "a", "http://a.example/fixed", ""));
    EXPECT_EQ(health(a), Health::Unchecked);
    model.undo_last_action();
    EXPECT_EQ(health(a), Health::Broken);
}

TEST_F(LinkHealthTest, ARunWithoutNetworkKeepsNothing) {
    checked(a, CheckResult::Ok);
    CheckRecorder recorder(store, [this] { return now; });
    recorder.add({.link = a, .url = "http://a.example/", .result = CheckResult::Unreachable});
    recorder.add({.link = b, .url = "http://b.example/", .result = CheckResult::Unreachable});
    EXPECT_FALSE(recorder.finish({.checked = 2, .hosts = 4, .hosts_down = 3}));
    EXPECT_EQ(rows(a), 1);
    EXPECT_EQ(rows(b), 0);
    EXPECT_EQ(health(a), Health::Ok);
    EXPECT_EQ(health(b), Health::Unchecked);
}

TEST_F(LinkHealthTest, PurgeAndUndoOfAnAddForgetTheChecks) {
    const int inner = folder("Inner", shelf);
    const int c = link(inner, "c", "http://c.example/");
    const int d = link(shelf, "d", "http://d.example/");
    for (int id : {a, b, c, d}) {
        checked(id, CheckResult::Gone);
    }
    model.undo_last_action();  // the add of d
    EXPECT_EQ(rows(d), 0);
    model.links.delete_link(a);
    model.folders.delete_folder(inner);
    EXPECT_EQ(rows(a), 1);
    ASSERT_TRUE(model.journal.purge());
    EXPECT_EQ(rows(a), 0);
    EXPECT_EQ(rows(c), 0);
    EXPECT_EQ(rows(b), 1);
}

TEST_F(LinkHealthTest, NewAddressesGoInOneBatchThatOneUndoTakesBack) {
    const int c = link(shelf, "c", "http://c.example/");
    ASSERT_TRUE(model.links.edit_link(b, "b2", "http://b.example/", ""));
    checked(a, CheckResult::Moved, "https://a.example/home");
    checked(b, CheckResult::Moved, "https://b.example/");
    checked(c, CheckResult::Ok, "http://c.example/");
    const auto moved = moved_addresses(model, store, {a, b, c, a});
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(model.links.change_addresses(moved), 2);
    EXPECT_EQ(model.links.find(a)->url, "https://a.example/home");
    EXPECT_EQ(model.links.find(b)->url, "https://b.example/");
    EXPECT_EQ(model.links.find(b)->title, "b2");
    EXPECT_EQ(health(a), Health::Unchecked);

    EXPECT_EQ(model.undo_last_action(), kUndoEditLink);
    EXPECT_EQ(model.links.find(a)->url, "http://a.example/");
    EXPECT_EQ(model.links.find(b)->url, "http://b.example/");
    EXPECT_EQ(health(a), Health::Moved);
    // The earlier single edit is a step of its own.
    EXPECT_EQ(model.links.find(b)->title, "b2");
    EXPECT_EQ(model.undo_last_action(), kUndoEditLink);
    EXPECT_EQ(model.links.find(b)->title, "b");
    EXPECT_EQ(model.links.find(a)->url, "http://a.example/");
}

TEST_F(LinkHealthTest, PlansWebLinksOfAFolderAndBelow) {
    const int inner = folder("Inner", shelf);
    const int other = folder("Other");
    const int c = link(inner, "c", "HTTPS://c.example/");
    link(inner, "mail", "mailto:someone@example.com");
    link(inner, "ftp", "ftp://files.example/");
    const int e = link(other, "e", "http://e.example/");
    const CheckPlan below = plan_link_check(model, shelf);
    EXPECT_EQ(below.skipped, 2);
    std::vector<RowId> ids;
    for (const CheckTarget& target : below.targets) {
        ids.push_back(target.link);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<RowId>{a, b, c}));
    const CheckPlan all = plan_link_check(model, kRootFolder);
    EXPECT_EQ(all.targets.size(), 4u);
    EXPECT_EQ(all.skipped, 2);
    EXPECT_EQ(plan_link_check(model, other).targets.front().link, e);
}

}  // namespace
}  // namespace tb::test
