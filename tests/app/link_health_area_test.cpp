#include <curl/curl.h>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/app_controller.h"
#include "app/commands.h"
#include "app/link_health_area.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "core/feeds/local_http_server.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;
using Response = test::LocalHttpServer::Response;

namespace {

class RecordingUi : public test::FakeUiServices {
public:
    bool open_url(const QString& url) override {
        opened << url;
        return true;
    }
    QStringList opened;
};

constexpr std::int64_t kDay = 24 * 60 * 60;

}  // namespace

// Link checks from the window: the Data and Link menus, the progress bar and its Cancel, the
// Broken Links folder, the list's health and the undo of new addresses.
class LinkHealthAreaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { curl_global_init(CURL_GLOBAL_DEFAULT); }

    void init() {
        MessageBoxes::reset();
        server = std::make_unique<test::LocalHttpServer>();
        server->route("/ok", Response(200, "page"));
        server->route("/old", Response(301, {}, {"Location: " + server->url("/ok")}));
        server->route("/old2", Response(308, {}, {"Location: " + server->url("/ok")}));
        server->route("/gone", Response(410));
        Response slow(200);
        slow.delay = std::chrono::seconds(20);
        server->route("/slow", slow);
        data = std::make_unique<test::TestModel>();
        shelf = data->folder("Shelf");
        ok = data->link("ok", server->url("/ok"), shelf);
        moved = data->link("moved", server->url("/old"), shelf);
        moved2 = data->link("moved2", server->url("/old2"), shelf);
        gone = data->link("gone", server->url("/gone"), shelf);
        data->link("mail", "mailto:a@example.com", shelf);
        slow_folder = data->folder("Slow");
        for (int i = 0; i < 6; ++i) {
            data->link("slow" + std::to_string(i), server->url("/slow"), slow_folder);
        }
        settings = Settings();
        controller = std::make_unique<AppController>(*data->model, settings, ui);
        controller->set_clock([this] { return now; });
        health = std::make_unique<LinkHealthArea>(*controller, ui);
        window = std::make_unique<MainWindow>(*controller);
        health->attach(*window);
        window->start();
        window->show();
    }

    void cleanup() {
        health->shutdown();
        window.reset();
        health.reset();
        controller.reset();
        data.reset();
        server.reset();
    }

    void checkFromTheDataMenuStoresResultsAsTheyArrive() {
        const std::int64_t version = data->db.data_version();
        window->select_folder(shelf);
        check_through_menu();
        QCOMPARE(shown_health(ok), Health::Ok);
        QCOMPARE(shown_health(moved), Health::Moved);
        QCOMPARE(shown_health(gone), Health::Suspect);
        QCOMPARE(data->db.query_int("SELECT COUNT(*) FROM tb_link_checks"), 4);
        // Written through the window's own connection: no outside change to reload.
        QCOMPARE(data->db.data_version(), version);
        QVERIFY(!window->findChild<QProgressBar*>("LinkCheckProgress")->isVisible());
        QVERIFY(window->statusBar()->currentMessage().contains("4 links checked, 1 skipped"));

        select_link(gone);
        QCOMPARE(window->findChild<QLabel*>("LastCheckPane")->text().left(22),
                 QString("Last check: gone (410)"));
    }

    void brokenLinksFolderSitsBelowMostVisitedAndMarksBrokenApart() {
        auto* tree = window->findChild<QTreeWidget*>();
        QStringList tops;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            tops << tree->topLevelItem(i)->text(0);
        }
        const int most = static_cast<int>(tops.indexOf(test::text_of(132)));
        QVERIFY(most >= 0);
        QCOMPARE(tops.value(most + 1), QString("Broken Links"));

        window->select_folder(shelf);
        check_through_menu();
        now += kDay;
        window->select_folder(shelf);
        check_through_menu();
        window->select_folder(kBrokenLinksFolder);
        QCOMPARE(window->windowTitle(), QString("Tagberry 2.0 - Broken Links"));
        LinkListModel* list = window->list_model();
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->data(list->index(0, 0), kLinkIdRole).toInt(), gone);
        QCOMPARE(shown_health(gone), Health::Broken);
        // Its links are opened, moved and deleted like anywhere else.
        select_link(gone);
        QVERIFY(window->action(kCmdDeleteLinks)->isEnabled());
        QVERIFY(window->action(kCmdOpenContainingFolder)->isEnabled());
        QVERIFY(!window->action(kCmdDeleteFolder)->isEnabled());
        QVERIFY(!window->action(kCmdFolderProperties)->isEnabled());

        menu_action("&Link", "Open Arc&hived Copy")->trigger();
        QCOMPARE(ui.opened, QStringList{QString::fromStdString("https://web.archive.org/web/" +
                                                               server->url("/gone"))});
    }

    void useTheNewAddressIsOneUndoableBatch() {
        window->select_folder(shelf);
        check_through_menu();
        select_links({moved, moved2, ok});
        QAction* use = menu_action("&Link", "Use the New &Address");
        QVERIFY(use->isEnabled());
        use->trigger();
        QCOMPARE(url_of(moved), server->url("/ok"));
        QCOMPARE(url_of(moved2), server->url("/ok"));
        QCOMPARE(url_of(ok), server->url("/ok"));
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(url_of(moved), server->url("/old"));
        QCOMPARE(url_of(moved2), server->url("/old2"));
        QCOMPARE(shown_health(moved), Health::Moved);
        // One undo took the whole batch: the add of the links is next.
        QCOMPARE(data->model->journal.load_last_action()->action, static_cast<int>(kUndoAddLink));
    }

    void cancelEndsARunningCheckAndKeepsTheWindowUsable() {
        window->select_folder(slow_folder);
        test::acknowledge();
        menu_action("&Data", "Check &Links...")->trigger();
        QVERIFY(health->running());
        QVERIFY(window->findChild<QProgressBar*>("LinkCheckProgress")->isVisible());
        QVERIFY(!menu_action("&Data", "Check &Links...")->isEnabled());
        window->select_folder(shelf);
        QCOMPARE(window->list_model()->rowCount(), 5);
        QTest::mouseClick(window->findChild<QToolButton*>("LinkCheckCancel"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!health->running(), 3000);
        QVERIFY(window->statusBar()->currentMessage().contains("cancelled"));
        QVERIFY(server->requests() <= 2);
    }

private:
    QAction* menu_action(const QString& top, const QString& text) {
        return tb::test::menu_entry(*window, top, text);
    }

    void check_through_menu() {
        bool finished = false;
        health->on_finished = [&finished] { finished = true; };
        test::acknowledge();
        menu_action("&Data", "Check &Links...")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
        health->on_finished = nullptr;
    }

    Health shown_health(int id) {
        LinkListModel* list = window->list_model();
        const int row = list->row_of(id);
        return row < 0
                   ? Health::Unchecked
                   : static_cast<Health>(list->data(list->index(row, 0), kLinkHealthRole).toInt());
    }

    void select_links(const std::vector<RowId>& ids) {
        controller->links_selected(ids);
        window->update_actions();
    }
    void select_link(int id) { select_links({id}); }

    std::string url_of(int id) { return data->model->links.find(id)->url; }

    std::unique_ptr<test::LocalHttpServer> server;
    std::unique_ptr<test::TestModel> data;
    Settings settings;
    RecordingUi ui;
    std::unique_ptr<AppController> controller;
    std::unique_ptr<LinkHealthArea> health;
    std::unique_ptr<MainWindow> window;
    std::int64_t now = 1'700'000'000;
    int shelf = 0, slow_folder = 0, ok = 0, moved = 0, moved2 = 0, gone = 0;
};

QTEST_MAIN(LinkHealthAreaTest)
#include "link_health_area_test.moc"
