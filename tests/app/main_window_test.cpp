#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>
#include <set>

#include "app/app_controller.h"
#include "app/link_count.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app/search_area.h"
#include "app/window_placement.h"
#include "app_test_support.h"
#include "fake_ui_services.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;

// The main window over a small database: what the list shows, how it sorts and colours its
// rows, what the properties bar and the status bar say, and the searches that fill it.
class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBoxes::reset();
        data = std::make_unique<test::TestModel>();
        news = data->folder("News");
        alpha = data->link("alpha", "https://b.example/", news);
        beta = data->link("Beta", "https://a.example/", news);
        untitled = data->link("", "https://untitled.example/", news);
        data->link("copy", "https://a.example/", data->folder("Other"));
        settings = Settings();
        ui = std::make_unique<test::FakeUiServices>();
        controller = std::make_unique<AppController>(*data->model, settings, *ui);
        search = std::make_unique<SearchArea>(*controller, *ui);
        window = std::make_unique<MainWindow>(*controller);
        search->attach(*window);
        window->start();
        window->select_folder(news);
    }

    void cleanup() {
        window.reset();
        search.reset();
        controller.reset();
        data.reset();
    }

    // A window reopens on the screen where it was, and at the primary screen's top-left when
    // that screen is gone; it never outgrows the screen that holds it.
    void windowPlacementFollowsTheScreens() {
        const QRect primary(0, 0, 1920, 1040);
        const QRect left(-1280, 0, 1280, 1000);
        const QRect saved(-1200, 100, 900, 700);
        QCOMPARE(placed_window_geometry(saved, {primary, left}, primary), saved);
        QCOMPARE(placed_window_geometry(saved, {primary}, primary), QRect(0, 0, 900, 700));
        // Only the corner of the top edge shows: not enough to reach the title bar.
        QCOMPARE(placed_window_geometry(QRect(1900, 500, 600, 400), {primary}, primary),
                 QRect(0, 0, 600, 400));
        QCOMPARE(placed_window_geometry(QRect(100, -50, 600, 400), {primary}, primary),
                 QRect(0, 0, 600, 400));
        // Most of its top edge is on the left screen, which bounds its size.
        QCOMPARE(placed_window_geometry(QRect(-1200, 100, 1600, 1200), {primary, left}, primary),
                 QRect(-1200, 100, 1280, 1000));
    }

    // On a desktop without an icon theme every toolbar button still shows an icon of its own.
    void toolbarIconsAreDistinctWithoutATheme() {
        const QString theme = QIcon::themeName();
        const QStringList paths = QIcon::themeSearchPaths();
        test::TempDir empty;
        QIcon::setThemeSearchPaths({QString::fromStdString(empty.path().string())});
        QIcon::setThemeName(QStringLiteral("tb-no-such-theme"));
        MainWindow bare(*controller);
        QIcon::setThemeName(theme);
        QIcon::setThemeSearchPaths(paths);

        auto* bar = bare.findChild<QToolBar*>(QStringLiteral("MainToolbar"));
        QVERIFY(bar != nullptr);
        std::vector<std::pair<QString, QImage>> drawn;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
            const QImage image = action->icon()
                                     .pixmap(QSize(24, 24))
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32);
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y) {
                for (int x = 0; x < image.width() && !painted; ++x) {
                    painted = qAlpha(image.pixel(x, y)) > 0;
                }
            }
            QVERIFY2(painted, qPrintable(action->text() + QStringLiteral(" draws nothing")));
            for (const auto& [text, other] : drawn) {
                QVERIFY2(image != other,
                         qPrintable(action->text() + QStringLiteral(" looks like ") + text));
            }
            drawn.emplace_back(action->text(), image);
        }
        QCOMPARE(drawn.size(), size_t{10});
    }

    void rowColours() {
        struct Row {
            int visits;
            bool duplicates;
            bool highlight;
            QColor expected;
        };
        const Row rows[] = {
            {0, false, true, QColor(100, 100, 100)},  {0, true, true, QColor(75, 0, 0)},
            {3, true, true, QColor(125, 0, 0)},       {3, false, true, QColor()},
            {-1, false, true, QColor(100, 100, 100)}, {0, false, false, QColor()},
            {0, true, false, QColor(75, 0, 0)},       {2, true, false, QColor(125, 0, 0)},
        };
        for (const Row& row : rows) {
            Link link{.visits = row.visits, .has_duplicates = row.duplicates};
            QCOMPARE(link_colour(link, row.highlight), row.expected);
        }
        // Feed items are never coloured.
        LinkListModel model;
        model.set_records({Link{.id = 1, .title = "item"}}, true);
        QVERIFY(!model.data(model.index(0, 0), Qt::ForegroundRole).isValid());
    }

    // With a lookup, rows read their duplicate flags a block at a time when first shown; a read
    // flag moves with its row through a sort, and a fresh record's flag is not read again.
    void flagsAreReadForTheRowsShown() {
        const std::set<std::string> duplicated = {"https://n007/", "https://n200/", "https://n299/",
                                                  "https://n250/"};
        std::vector<size_t> asked;
        LinkListModel model;
        model.set_duplicates_lookup([&](std::vector<std::string_view> urls) {
            asked.push_back(urls.size());
            std::sort(urls.begin(), urls.end());
            std::vector<std::string_view> found;
            for (std::string_view url : urls) {
                if (duplicated.contains(std::string(url))) {
                    found.push_back(url);
                }
            }
            return found;
        });
        std::vector<Link> records;
        for (int i = 0; i < 300; ++i) {
            const std::string n =
                QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')).toStdString();
            records.push_back(Link{.id = i + 1,
                                   .title = "t" + n,
                                   .url = "https://n" + n + "/",
                                   .has_duplicates = i == 100});
        }
        model.set_records(std::move(records), false);
        QCOMPARE(model.id_at(250), RowId{251});
        QVERIFY(asked.empty());
        auto flagged = [&model](int row) { return model.record(row).has_duplicates; };

        QCOMPARE(model.data(model.index(7, 0), Qt::ForegroundRole).value<QColor>(),
                 QColor(75, 0, 0));
        QVERIFY(!flagged(8));
        QVERIFY(!flagged(100));
        QCOMPARE(asked, std::vector<size_t>({128}));
        QVERIFY(flagged(200));
        QVERIFY(!flagged(201));
        QCOMPARE(asked, std::vector<size_t>({128, 128}));

        model.update_records({300}, {Link{.id = 300, .title = "t299", .url = "https://n299/"}});
        QVERIFY(!flagged(299));
        QVERIFY(!flagged(298));
        QCOMPARE(asked, std::vector<size_t>({128, 128, 43}));

        model.sort_by_header(0);
        QCOMPARE(model.record(0).title, std::string("t299"));
        QVERIFY(!flagged(0));
        QVERIFY(flagged(49));
        QVERIFY(flagged(99));
        QVERIFY(!flagged(199));
        QVERIFY(flagged(292));
        QCOMPARE(asked, std::vector<size_t>({128, 128, 43}));
    }

    void headerClicksShareOneDirection() {
        LinkListModel* model = window->list_model();
        QCOMPARE(model->rowCount(), 3);
        auto column = [model](int c) {
            QStringList texts;
            for (int r = 0; r < model->rowCount(); ++r) {
                texts << model->data(model->index(r, c), Qt::DisplayRole).toString();
            }
            return texts;
        };
        QTreeView* view = nullptr;
        for (QTreeView* candidate : window->findChildren<QTreeView*>()) {
            if (candidate->model() == model) {
                view = candidate;
            }
        }
        QVERIFY(view != nullptr);
        emit view->header()->sectionClicked(0);
        QCOMPARE(column(0), (QStringList{"alpha", "Beta", "https://untitled.example/"}));
        emit view->header()->sectionClicked(0);
        // Ascending by bytes: the untitled link sorts first by its empty title.
        QCOMPARE(column(0), (QStringList{"https://untitled.example/", "Beta", "alpha"}));
        emit view->header()->sectionClicked(1);
        QCOMPARE(column(1), (QStringList{"https://untitled.example/", "https://b.example/",
                                         "https://a.example/"}));
    }

    void propertiesFollowTheSelection() {
        controller->links_selected({beta});
        QCOMPARE(window->status_pane(1)->text(), QStringLiteral("https://a.example/"));
        QCOMPARE(window->status_pane(5)->text(), QStringLiteral("0"));
        controller->links_selected({alpha, beta});
        QVERIFY(window->status_pane(1)->text().isEmpty());
        QVERIFY(window->status_pane(5)->text().isEmpty());
    }

    void statusBarCountsTheLinksOrShowsThePrompt() {
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("3 links"));
        window->statusBar()->showMessage(window->action(kCmdNewFolder)->statusTip());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Create new folder."));
        window->statusBar()->clearMessage();
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("3 links"));
        QCOMPARE(window->action(kCmdNewFolder)->toolTip(), QStringLiteral("New folder"));
        search->quick_search(QStringLiteral("alph"));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("1 link"));
        QCOMPARE(link_count_text(12830), QStringLiteral("12,830 links"));
        QCOMPARE(link_count_text(0), QStringLiteral("0 links"));
    }

    void messagesLookLikeWhatTheySay() {
        MessageBoxReporter reporter;
        test::acknowledge(3);
        reporter.report(msg::kBookmarksSaved);
        reporter.report(msg::kCannotOpenForWriting);
        controller->links_selected({beta});
        controller->update_link_from_bar("Beta 2", "https://a.example/", "");
        const std::deque<QMessageBox::Icon> expected = {
            QMessageBox::Information, QMessageBox::Warning, QMessageBox::Information};
        QCOMPARE(test::shown_messages(), (QStringList{test::text_of(msg::kBookmarksSaved),
                                                      test::text_of(msg::kCannotOpenForWriting),
                                                      test::text_of(msg::kLinkUpdated)}));
        QVERIFY(MessageBoxes::shown_icons() == expected);
    }

    void findShowsResultsAndRemembersTheQuery() {
        SearchQuery entered;
        entered.text = "alph";
        search->ask_find = [&] { return std::optional<SearchQuery>(entered); };
        controller->execute(kCmdFind);
        QCOMPARE(controller->state().current_folder, kSearchResultsFolder);
        QCOMPARE(window->list_model()->rowCount(), 1);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tagberry 2.0 - Search Results ('alph')"));
        search->history().load_query_history();
        QCOMPARE(search->history().list().size(), size_t{1});

        entered.text = "nothing-like-this";
        test::acknowledge();
        controller->execute(kCmdFind);
        QCOMPARE(test::shown_messages().back(),
                 test::text_of(msg::kNothingFound, {"nothing-like-this"}));
    }

    void quickSearchWithOperatorsIsInvalid() {
        window->select_folder(news);
        search->quick_search(QStringLiteral("a OR b"));
        QCOMPARE(data->reporter.count(msg::kInvalidQuery), 1);
        QCOMPARE(controller->state().current_folder, news);

        search->quick_search(QStringLiteral(" "));
        QCOMPARE(controller->state().current_folder, kSearchResultsFolder);
        QCOMPARE(window->list_model()->rowCount(), 4);
    }

private:
    std::unique_ptr<test::TestModel> data;
    Settings settings;
    std::unique_ptr<test::FakeUiServices> ui;
    std::unique_ptr<AppController> controller;
    std::unique_ptr<SearchArea> search;
    std::unique_ptr<MainWindow> window;
    int news = 0, alpha = 0, beta = 0, untitled = 0;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
