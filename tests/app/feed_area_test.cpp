#include <curl/curl.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>
#include <chrono>

#include "app/add_channel_dialog.h"
#include "app/app_controller.h"
#include "app/choose_feed_dialog.h"
#include "app/feed_area.h"
#include "app/feeds_editor_dialog.h"
#include "app/main_window.h"
#include "app/update_frequency_dialog.h"
#include "app_test_support.h"
#include "core/feeds/local_http_server.h"
#include "fake_ui_services.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

// Three items: a web page, an untitled one (kept but never listed) and a network share.
const char* const kGardenFeed =
    "<rss version=\"2.0\"><channel><title>Garden</title>"
    "<item><title>Tomatoes</title><link>https://garden.example/1</link>"
    "<description>Six rows.</description></item>"
    "<item><title></title><link>https://garden.example/2</link></item>"
    "<item><title>Share</title><link>smb://garden.example/share</link>"
    "<description>Files</description></item>"
    "</channel></rss>";

// Canned answers for the controller's dialogs; records what the feed commands hand over.
class FakeUi : public test::FakeUiServices {
public:
    NewLinkDialogResult new_link(const NewLinkDialogRequest& request) override {
        new_link_requests.push_back(request);
        NewLinkRequest chosen = request.preset;
        root_refusal = request.check(chosen);
        chosen = request.preset;
        chosen.parent = store_into;
        if (request.check(chosen) != 0) {
            return {};
        }
        return {.accepted = chosen};
    }
    void set_clipboard(const QString& text) override { clipboard = text; }

    int store_into = kRootFolder;
    int root_refusal = 0;
    QString clipboard;
};

// The controller, the main window and the feed area over a fresh data folder, built and torn
// down in the program's order.
struct FeedWindow {
    explicit FeedWindow(DownloadOptions options = quick_options()) {
        feeds = std::make_unique<FeedArea>(controller, ui, data.dir / "feeds", options);
        window = std::make_unique<MainWindow>(controller);
        feeds->attach(*window);
        window->start();
        feeds->launch = [this](const QUrl& url) {
            launched << url.toString();
            return true;
        };
    }
    ~FeedWindow() {
        window.reset();
        feeds.reset();
    }

    static DownloadOptions quick_options() {
        DownloadOptions options;
        options.connect_timeout_ms = 2000;
        return options;
    }

    // The address is looked up in the background before the feed is added.
    int subscribe(const QString& title, const std::string& url) {
        feeds->ask_new_channel = [title, url](const QString&) {
            return std::make_optional(std::make_pair(title, QString::fromStdString(url)));
        };
        const std::size_t before = feeds->channels().channels().size();
        controller.execute(kCmdNewFeed);
        if (!QTest::qWaitFor([&] { return feeds->channels().channels().size() > before; }, 10000)) {
            return 0;
        }
        return feeds->channels().channels().back().id;
    }
    QAction* menu_action(const QString& top, const QString& text) {
        return menu_entry(*window, top, text);
    }
    QStringList feed_titles() const {
        QStringList titles;
        for (const Channel& channel : feeds->channels().channels()) {
            titles << QString::fromStdString(channel.title + " " + channel.location);
        }
        return titles;
    }
    void select_feed(int id) { window->tree()->setCurrentItem(window->tree()->feed_item_for(id)); }
    QTreeView* list_view() const {
        for (QTreeView* view : window->findChildren<QTreeView*>()) {
            if (view->model() == window->list_model()) {
                return view;
            }
        }
        return nullptr;
    }
    void select_row(int row) {
        QTreeView* view = list_view();
        view->selectionModel()->select(
            window->list_model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QStringList listed_titles() const {
        QStringList titles;
        for (int row = 0; row < window->list_model()->rowCount(); ++row) {
            titles << QString::fromStdString(window->list_model()->record(row).title);
        }
        titles.sort();
        return titles;
    }
    UpdateState state_of(int id) { return feeds->channels().channel(id)->state; }

    test::TestModel data;
    Settings settings;
    FakeUi ui;
    AppController controller{*data.model, settings, ui};
    std::unique_ptr<FeedArea> feeds;
    std::unique_ptr<MainWindow> window;
    QStringList launched;
};

// Exports the subscriptions of `from` to file and imports that file into `to`, through the
// Newsfeeds menus of both windows; returns the messages the two steps showed.
QStringList export_then_import(FeedWindow& from, FeedWindow& to,
                               const std::filesystem::path& file) {
    from.ui.subscriptions_to_save = QString::fromStdString(file.string());
    acknowledge();
    from.menu_action("&Newsfeeds", "E&xport Subscriptions...")->trigger();
    const QString exported = shown_messages().last();
    to.ui.subscriptions_to_open = from.ui.subscriptions_to_save;
    acknowledge();
    to.menu_action("&Newsfeeds", "&Import Subscriptions...")->trigger();
    return {exported, shown_messages().last()};
}

}  // namespace

class FeedAreaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    void init() { MessageBoxes::reset(); }

    void newsfeedsFolderOnlyWithFeedsAndDeleteAsks() {
        FeedWindow w;
        QVERIFY(w.window->tree()->item_for(kNewsfeedsFolder) == nullptr);

        const int id = w.subscribe(QStringLiteral("Ann's feed"), "http://127.0.0.1:1/a.xml");
        QTreeWidgetItem* top = w.window->tree()->item_for(kNewsfeedsFolder);
        QVERIFY(top != nullptr);
        QCOMPARE(top->text(0), QStringLiteral("Newsfeeds"));
        QVERIFY(top->isExpanded());
        QCOMPARE(top->childCount(), 1);
        QCOMPARE(top->child(0)->text(0), QStringLiteral("Ann's feed"));
        QCOMPARE(top->child(0)->data(0, kFolderIdRole).toInt(), id);
        QVERIFY(top->child(0)->data(0, kIsFeedRole).toBool());
        QCOMPARE(
            w.data.db.query_int("SELECT COUNT(*) FROM tb_channels WHERE title = 'Ann''s feed'"), 1);

        // The Newsfeeds folder itself is not feed mode and lists nothing.
        w.window->tree()->setCurrentItem(top);
        QVERIFY(!w.controller.state().feed_mode);
        QVERIFY(!w.controller.status(kCmdUpdateFeed).enabled);
        QVERIFY(w.controller.status(kCmdNewFeed).enabled);

        w.select_feed(id);
        QVERIFY(w.controller.state().feed_mode);
        QCOMPARE(w.controller.caption(), QStringLiteral("Tagberry 2.0 - Ann's feed"));
        QVERIFY(w.controller.status(kCmdDeleteFeed).enabled);
        QVERIFY(!w.controller.status(kCmdStoreItem).enabled);
        w.controller.execute(kCmdCopyFeedLocation);
        QCOMPARE(w.ui.clipboard, QStringLiteral("http://127.0.0.1:1/a.xml"));

        MessageBoxes::answer_next(QMessageBox::Cancel);
        w.controller.execute(kCmdDeleteFeed);
        QCOMPARE(shown_messages(), QStringList{QStringLiteral("Delete this channel?")});
        QVERIFY(w.window->tree()->feed_item_for(id) != nullptr);
        // The refill keeps the feed selected.
        QVERIFY(w.controller.state().feed_mode);

        MessageBoxes::answer_next(QMessageBox::Ok);
        w.controller.execute(kCmdDeleteFeed);
        QVERIFY(w.window->tree()->item_for(kNewsfeedsFolder) == nullptr);
        QCOMPARE(w.controller.state().current_folder, kRootFolder);
        QVERIFY(!w.controller.state().feed_mode);
        QCOMPARE(w.data.db.query_int("SELECT COUNT(*) FROM tb_channels"), 0);
    }

    void failedFeedSaysWhyInItsTooltipAndTheStatusBar() {
        test::LocalHttpServer server;
        server.route("/garden.xml", {200, kGardenFeed});
        // A feed when subscribed, a page without feed links since.
        server.route("/page.html", {200, kGardenFeed});
        FeedWindow w;
        const int page = w.subscribe(QStringLiteral("Page"), server.url("/page.html"));
        server.route(
            "/page.html",
            {200, "<html><head><title>Home</title></head></html>", {"Content-Type: text/html"}});
        const int missing = w.subscribe(QStringLiteral("Missing"), server.url("/missing.xml"));
        const int garden = w.subscribe(QStringLiteral("Garden"), server.url("/garden.xml"));
        w.select_feed(page);
        w.feeds->start();
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(page), UpdateState::DownloadFailed, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(missing), UpdateState::DownloadFailed, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(garden), UpdateState::Updated, 10000);
        QTRY_COMPARE(w.window->status_pane(1)->text(),
                     QStringLiteral("Download failed: not a feed (HTML page)"));
        // The tooltip changes when the worker's report reaches the GUI thread.
        QTRY_COMPARE(w.window->tree()->feed_item_for(page)->toolTip(0),
                     QString::fromStdString(server.url("/page.html")) +
                         QStringLiteral("\nDownload failed: not a feed (HTML page)"));
        QTRY_COMPARE(w.window->tree()->feed_item_for(missing)->toolTip(0),
                     QString::fromStdString(server.url("/missing.xml")) +
                         QStringLiteral("\nDownload failed: HTTP status 404"));
        QCOMPARE(w.window->tree()->feed_item_for(garden)->toolTip(0),
                 QString::fromStdString(server.url("/garden.xml")));
        w.select_feed(garden);
        QCOMPARE(w.window->status_pane(1)->text(), QString());
        w.feeds->shutdown();
    }

    void workerFinishRefillsTheShownFeedOnTheGuiThread() {
        test::LocalHttpServer server;
        server.route("/garden.xml", {200, kGardenFeed});
        FeedWindow w;
        const int id = w.subscribe(QStringLiteral("Garden"), server.url("/garden.xml"));
        w.select_feed(id);
        QCOMPARE(w.window->list_model()->rowCount(), 0);

        QList<QThread*> refill_threads;
        QObject probe;
        connect(
            &w.controller, &AppController::list_refill_requested, &probe,
            [&] { refill_threads << QThread::currentThread(); }, Qt::DirectConnection);
        w.feeds->start();
        QVERIFY(w.feeds->available());
        QCOMPARE(w.feeds->timer().interval(), 5 * 60000);
        // Updated: the untitled item stays hidden.
        QTRY_COMPARE_WITH_TIMEOUT(
            w.listed_titles(), (QStringList{QStringLiteral("Share"), QStringLiteral("Tomatoes")}),
            10000);
        QVERIFY(!refill_threads.isEmpty());
        for (QThread* thread : refill_threads) {
            QCOMPARE(thread, qApp->thread());
        }
        QCOMPARE(w.state_of(id), UpdateState::Updated);

        // A failed update: the feed lists nothing once shown again.
        server.route("/garden.xml", {404, "gone"});
        w.controller.execute(kCmdUpdateFeed);
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(id), UpdateState::DownloadFailed, 10000);
        QTRY_VERIFY(!w.feeds->channels().channel(id)->running);
        w.controller.folder_selected(id, true);
        QCOMPARE(w.window->list_model()->rowCount(), 0);
        QVERIFY(w.feeds->records().empty());
    }

    void itemPropertiesStoreCopyAndOpen() {
        test::LocalHttpServer server;
        server.route("/garden.xml", {200, kGardenFeed});
        FeedWindow w;
        const int news = w.data.folder("News");
        const int id = w.subscribe(QStringLiteral("Garden"), server.url("/garden.xml"));
        w.feeds->start();
        w.select_feed(id);
        QTRY_COMPARE_WITH_TIMEOUT(w.window->list_model()->rowCount(), 2, 10000);
        const int tomatoes = w.window->list_model()->row_of(0);
        w.select_row(tomatoes);
        QCOMPARE(w.controller.state().current_link, 0);

        QCOMPARE(w.window->status_pane(1)->text(), QStringLiteral("https://garden.example/1"));
        QVERIFY(w.window->status_pane(3)->text().isEmpty());
        QVERIFY(w.window->status_pane(5)->text().isEmpty());
        QStringList edits;
        for (QLineEdit* edit : w.window->properties_bar()->findChildren<QLineEdit*>()) {
            edits << edit->text();
        }
        QVERIFY(edits.contains(QStringLiteral("Tomatoes")));
        QCOMPARE(w.window->properties_bar()->findChild<QPlainTextEdit*>()->toPlainText(),
                 QStringLiteral("Six rows."));

        w.controller.execute(kCmdCopyItemAddress);
        QCOMPARE(w.ui.clipboard, QStringLiteral("https://garden.example/1"));

        // Store: the New Link flow with the item's texts, offering the root folder, which the
        // New Link checks refuse.
        QVERIFY(w.controller.status(kCmdStoreItem).enabled);
        w.ui.store_into = news;
        w.controller.execute(kCmdStoreItem);
        QCOMPARE(w.ui.new_link_requests.size(), size_t(1));
        const NewLinkRequest& preset = w.ui.new_link_requests.front().preset;
        QCOMPARE(preset.parent, kRootFolder);
        QCOMPARE(preset.title, std::string("Tomatoes"));
        QCOMPARE(preset.url, std::string("https://garden.example/1"));
        QCOMPARE(preset.comment, std::string("Six rows."));
        QCOMPARE(w.ui.root_refusal, int(msg::kNoLinksInRoot));
        const auto stored = w.data.model->links.links_in(news);
        QCOMPARE(stored.size(), size_t(1));
        QCOMPARE(stored.front().url, std::string("https://garden.example/1"));
        QCOMPARE(stored.front().visits, 0);

        // Opening: the web goes out at once, anything else only when the user agrees.
        w.select_feed(id);
        w.select_row(w.window->list_model()->row_of(0));
        w.controller.open_current();
        QCOMPARE(w.launched, QStringList{QStringLiteral("https://garden.example/1")});
        QVERIFY(shown_messages().isEmpty());
        w.select_row(w.window->list_model()->row_of(2));
        MessageBoxes::answer_next(QMessageBox::No);
        w.controller.open_current();
        QCOMPARE(w.launched.size(), 1);
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY(shown_messages().front().contains(QStringLiteral("smb")));
        MessageBoxes::answer_next(QMessageBox::Yes);
        w.controller.open_current();
        QCOMPARE(w.launched.last(), QStringLiteral("smb://garden.example/share"));
        // Opening a feed item counts no visit anywhere.
        QCOMPARE(w.data.model->links.links_in(news).front().visits, 0);
    }

    void shutdownJoinsWorkersBeforeDeletingOwnFiles() {
        test::LocalHttpServer server;
        server.route("/garden.xml", {200, kGardenFeed});
        test::LocalHttpServer::Response stalled(200, std::string(4000, ' '));
        stalled.stall_after = 10;
        server.route("/slow.xml", {200, kGardenFeed});
        FeedWindow w;
        const std::filesystem::path folder = w.data.dir / "feeds";
        std::filesystem::create_directories(folder);
        test::write_file(folder / "other.xml", "not ours");
        const int garden = w.subscribe(QStringLiteral("Garden"), server.url("/garden.xml"));
        const int slow = w.subscribe(QStringLiteral("Slow"), server.url("/slow.xml"));
        server.route("/slow.xml", stalled);
        w.feeds->start();
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(garden), UpdateState::Updated, 10000);
        QCOMPARE(w.feeds->channels().downloaded_files().size(), size_t(1));
        QVERIFY(w.feeds->channels().channel(slow)->running);

        const auto begin = std::chrono::steady_clock::now();
        w.feeds->shutdown();
        QVERIFY(std::chrono::steady_clock::now() - begin < std::chrono::seconds(3));
        QVERIFY(!w.feeds->channels().channel(slow)->running);
        QVERIFY(!w.feeds->timer().isActive());
        QVERIFY(!w.feeds->available());
        // Only the other file is left: the aborted download wrote none after the clean-up.
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            left.push_back(entry.path().filename().string());
        }
        QCOMPARE(left, std::vector<std::string>{"other.xml"});
        // Nothing starts after the end.
        w.controller.execute(kCmdUpdateAllFeeds);
        QVERIFY(!w.feeds->channels().channel(garden)->running);
        server.stop();
    }

    void subscriptionsComeInAndGoOutThroughTheNewsfeedsMenu() {
        FeedWindow w;
        w.feeds->start();
        const int mine = w.subscribe(QStringLiteral("Mine"), "http://127.0.0.1:1/c.xml");
        QVERIFY(mine != 0);
        const auto opml = w.data.dir / "subs.opml";
        test::write_file(
            opml,
            "<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>x</title></head><body>"
            "<outline text=\"News\"><outline title=\"World\">"
            "<outline type=\"rss\" text=\"A &amp; B\" xmlUrl=\"http://127.0.0.1:1/a.xml\"/>"
            "</outline><outline type=\"rss\" text=\"B\" xmlUrl=\"http://127.0.0.1:1/b.xml\"/>"
            "</outline><outline type=\"rss\" text=\"Again\" xmlUrl=\"http://127.0.0.1:1/c.xml\"/>"
            "</body></opml>");
        w.ui.subscriptions_to_open = QString::fromStdString(opml.string());
        acknowledge();
        w.menu_action("&Newsfeeds", "&Import Subscriptions...")->trigger();
        QCOMPARE(shown_messages(),
                 QStringList{QStringLiteral("Added 2 newsfeeds, skipped 1 already subscribed.")});
        QCOMPARE(w.feed_titles(),
                 (QStringList{"Mine http://127.0.0.1:1/c.xml", "A & B http://127.0.0.1:1/a.xml",
                              "B http://127.0.0.1:1/b.xml"}));
        QCOMPARE(w.window->tree()->item_for(kNewsfeedsFolder)->childCount(), 3);

        FeedWindow other;
        other.feeds->start();
        QCOMPARE(export_then_import(w, other, w.data.dir / "out.opml"),
                 (QStringList{"Exported 3 newsfeeds.",
                              "Added 3 newsfeeds, skipped 0 already subscribed."}));
        QCOMPARE(other.feed_titles(), w.feed_titles());

        // A file of another kind: a clear message, nothing added.
        other.ui.subscriptions_to_open =
            QString::fromStdString(test::data_path("feeds/rdf.xml").string());
        acknowledge();
        other.menu_action("&Newsfeeds", "&Import Subscriptions...")->trigger();
        QVERIFY2(
            shown_messages().last().startsWith("Cannot import '" + *other.ui.subscriptions_to_open +
                                               "': not a subscription list"),
            qPrintable(shown_messages().last()));
        QCOMPARE(MessageBoxes::shown_icons().back(), QMessageBox::Warning);
        QCOMPARE(other.feed_titles().size(), 3);
        w.feeds->shutdown();
        other.feeds->shutdown();
    }

    // One newsfeed is counted in the singular, going out and coming in.
    void oneSubscriptionIsCountedInTheSingular() {
        FeedWindow w;
        w.feeds->start();
        QVERIFY(w.subscribe(QStringLiteral("Mine"), "http://127.0.0.1:1/c.xml") != 0);
        FeedWindow other;
        other.feeds->start();
        QCOMPARE(export_then_import(w, other, w.data.dir / "one.opml"),
                 (QStringList{"Exported 1 newsfeed.",
                              "Added 1 newsfeed, skipped 0 already subscribed."}));
        w.feeds->shutdown();
        other.feeds->shutdown();
    }

    void addNewsfeedTakesAWebPageForTheFeedItAnnounces() {
        test::LocalHttpServer server;
        const std::vector<std::string> html = {"Content-Type: text/html"};
        test::LocalHttpServer::Response one{
            200,
            "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
            "href=\"/garden.xml\"></head></html>",
            html};
        one.delay = std::chrono::milliseconds(300);
        server.route("/one", one);
        server.route("/two", {200,
                              "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
                              "title=\"All\" href=\"all.xml\"><link rel=\"alternate\" "
                              "type=\"application/atom+xml\" title=\"Comments\" "
                              "href=\"c.atom\"></head></html>",
                              html});
        server.route("/none", {200, "<html><head><title>Nothing</title></head></html>", html});
        server.route("/garden.xml", {200, kGardenFeed});
        FeedWindow w;
        w.feeds->start();
        // Typed into the real dialog, opened from the menu.
        auto add_through_menu = [&](const QString& title, const std::string& address) {
            bool reached = false;
            on_next_dialog<AddChannelDialog>(
                [&](AddChannelDialog* dialog) {
                    dialog->title_edit()->setText(title);
                    dialog->location_edit()->setText(QString::fromStdString(address));
                    click_button(dialog, QDialogButtonBox::Ok);
                },
                &reached);
            w.menu_action("&Newsfeeds", "&New...")->trigger();
            QVERIFY(reached);
        };
        add_through_menu(QStringLiteral("Garden"), server.url("/one"));
        const QString looking =
            "Looking for the newsfeed at " + QString::fromStdString(server.url("/one")) + "...";
        QCOMPARE(w.window->statusBar()->currentMessage(), looking);
        QTRY_COMPARE_WITH_TIMEOUT(
            w.feed_titles(),
            QStringList{"Garden " + QString::fromStdString(server.url("/garden.xml"))}, 10000);
        QVERIFY(w.ui.feeds_shown.empty());
        QVERIFY(w.window->statusBar()->currentMessage() != looking);

        w.ui.feed_choice = 1;
        add_through_menu(QStringLiteral("Talk"), server.url("/two"));
        QTRY_COMPARE_WITH_TIMEOUT(w.feed_titles().size(), 2, 10000);
        QCOMPARE(w.feed_titles().last(), "Talk " + QString::fromStdString(server.url("/c.atom")));
        QCOMPARE(w.ui.feeds_shown, (std::vector<FeedLink>{{"All", server.url("/all.xml")},
                                                          {"Comments", server.url("/c.atom")}}));

        // Declining the choice subscribes to nothing.
        w.ui.feed_choice.reset();
        add_through_menu(QStringLiteral("Declined"), server.url("/two"));
        acknowledge();
        add_through_menu(QStringLiteral("Nothing"), server.url("/none"));
        QTRY_COMPARE_WITH_TIMEOUT(
            shown_messages(),
            QStringList{"The page " + QString::fromStdString(server.url("/none")) +
                        " announces no newsfeed, so nothing was subscribed."},
            10000);
        QCOMPARE(w.feed_titles().size(), 2);
        QCOMPARE(w.data.db.query_int("SELECT COUNT(*) FROM tb_channels"), 2);
        w.feeds->shutdown();
    }

    void retryAfterReasonIsTranslatedWhole() {
        // "Translates" into capitals, so that a part left in English shows.
        class Marking : public QTranslator {
        public:
            bool isEmpty() const override { return false; }
            QString translate(const char*, const char* source, const char*, int) const override {
                return QStringLiteral("[") + QString::fromUtf8(source).toUpper() +
                       QStringLiteral("]");
            }
        } marking;
        test::LocalHttpServer server;
        server.route("/busy.xml", {200, kGardenFeed});
        FeedWindow w;
        const int busy = w.subscribe(QStringLiteral("Busy"), server.url("/busy.xml"));
        server.route("/busy.xml", {429, "", {"Retry-After: 3600"}});
        QCoreApplication::installTranslator(&marking);
        w.feeds->start();
        QTRY_COMPARE_WITH_TIMEOUT(w.state_of(busy), UpdateState::DownloadFailed, 10000);
        QTRY_VERIFY(w.window->tree()->feed_item_for(busy)->toolTip(0).contains('\n'));
        const QString reason = w.window->tree()->feed_item_for(busy)->toolTip(0).section('\n', 1);
        QCoreApplication::removeTranslator(&marking);
        QVERIFY2(reason.startsWith(QStringLiteral(
                     "[DOWNLOAD FAILED: [HTTP STATUS 429; THE SERVER ASKS TO WAIT UNTIL ")),
                 qPrintable(reason));
        QVERIFY(reason.endsWith("]]"));
        w.feeds->shutdown();
    }

    void chooseFeedDialogListsTheFeedsAndReturnsTheOneChosen() {
        const std::vector<FeedLink> feeds = {{"All posts", "https://a.example/all.xml"},
                                             {"", "https://a.example/c.atom"}};
        ChooseFeedDialog dialog(feeds);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose a Newsfeed"));
        QCOMPARE(dialog.list()->count(), 2);
        QCOMPARE(dialog.list()->item(0)->text(),
                 QStringLiteral("All posts - https://a.example/all.xml"));
        QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("https://a.example/c.atom"));
        QCOMPARE(dialog.chosen(), std::optional<std::size_t>(0));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(dialog.list(), Qt::Key_Down);
        QCOMPARE(dialog.chosen(), std::optional<std::size_t>(1));
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void addChannelDialogRefusesEmptyFields() {
        AddChannelDialog dialog(QStringLiteral("http://dropped.example/rss"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Newsfeed"));
        QCOMPARE(dialog.location_edit()->text(), QStringLiteral("http://dropped.example/rss"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.title_edit()->hasFocus());
        acknowledge(2);
        dialog.accept();
        QVERIFY(dialog.result() != QDialog::Accepted);
        dialog.title_edit()->setText(QStringLiteral("Dropped"));
        dialog.location_edit()->setText(QStringLiteral("  "));
        dialog.accept();
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(shown_messages(), QStringList(2, text_of(msg::kNewsfeedFieldsEmpty)));
        dialog.location_edit()->setText(QStringLiteral(" http://dropped.example/rss "));
        click_button(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.location(), QStringLiteral("http://dropped.example/rss"));
    }

    void updateFrequencyStoresAtOnceAndTheTimerKeepsItsPeriod() {
        int minutes = 5;
        UpdateFrequencyDialog dialog(minutes);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Update Frequency"));
        QCOMPARE(dialog.slider()->minimum(), 1);
        QCOMPARE(dialog.slider()->maximum(), 15);
        QCOMPARE(dialog.slider()->tickInterval(), 1);
        QCOMPARE(dialog.slider()->value(), 5);
        dialog.slider()->setValue(12);
        QCOMPARE(minutes, 12);
        QCOMPARE(dialog.value_label()->text(), QStringLiteral("12"));

        FeedWindow w;
        w.settings.update_channels_every = 3;
        w.feeds->start();
        QCOMPARE(w.feeds->timer().interval(), 3 * 60000);
        // Through the editor, as the user reaches it.
        on_next_dialog<FeedsEditorDialog>([](FeedsEditorDialog* editor) {
            on_next_dialog<UpdateFrequencyDialog>([](UpdateFrequencyDialog* d) {
                d->slider()->setValue(9);
                d->accept();
            });
            click_button(editor, QStringLiteral("Update &Frequency..."));
            editor->accept();
        });
        w.controller.execute(kCmdFeedsEditor);
        QCOMPARE(w.settings.update_channels_every, 9);
        QCOMPARE(w.feeds->timer().interval(), 3 * 60000);
    }

    void editorDeletesCheckedAndAddsNew() {
        FeedWindow w;
        const int a = w.subscribe(QStringLiteral("A"), "http://127.0.0.1:1/a");
        const int b = w.subscribe(QStringLiteral("B"), "http://127.0.0.1:1/b");
        FeedsEditorDialog editor(w.feeds->channels(), w.settings.update_channels_every);
        QCOMPARE(editor.list()->headerItem()->text(0), QStringLiteral("Feed title"));
        QCOMPARE(editor.list()->headerItem()->text(1), QStringLiteral("Path"));
        QCOMPARE(editor.list()->topLevelItemCount(), 2);
        QCOMPARE(editor.list()->topLevelItem(1)->text(1), QStringLiteral("http://127.0.0.1:1/b"));

        // Nothing checked: a beep, no question, nothing changed.
        editor.delete_checked();
        QVERIFY(shown_messages().isEmpty());
        QVERIFY(!editor.changed());

        editor.list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
        MessageBoxes::answer_next(QMessageBox::No);
        editor.delete_checked();
        QCOMPARE(editor.list()->topLevelItemCount(), 2);
        MessageBoxes::answer_next(QMessageBox::Yes);
        editor.delete_checked();
        QCOMPARE(shown_messages(), QStringList(2, text_of(msg::kDeleteItemsQuestion)));
        QVERIFY(editor.changed());
        QCOMPARE(editor.list()->topLevelItemCount(), 1);
        QVERIFY(!w.feeds->channels().channel(a));
        QVERIFY(w.feeds->channels().channel(b));

        on_next_dialog<AddChannelDialog>([](AddChannelDialog* d) {
            d->title_edit()->setText(QStringLiteral("C"));
            d->location_edit()->setText(QStringLiteral("http://127.0.0.1:1/c"));
            d->accept();
        });
        click_button(&editor, QStringLiteral("&Add new..."));
        QCOMPARE(editor.list()->topLevelItemCount(), 2);
        QCOMPARE(editor.list()->topLevelItem(1)->text(0), QStringLiteral("C"));

        // Closing a changed editor rebuilds the tree.
        w.feeds->run_editor = [] { return true; };
        w.controller.execute(kCmdFeedsEditor);
        QTreeWidgetItem* top = w.window->tree()->item_for(kNewsfeedsFolder);
        QCOMPARE(top->childCount(), 2);
        QCOMPARE(top->child(1)->text(0), QStringLiteral("C"));
    }
};

QTEST_MAIN(FeedAreaTest)
#include "feed_area_test.moc"
