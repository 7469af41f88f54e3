// The shown folder's list after single writes reached through the window's menus and keys: the
// touched rows change in place, the others and the selection stay, the flags and the order are
// right at once.
#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include "app/app_controller.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;

namespace {

// Answers the link dialogs with what a test sets, and opens every address.
class AnsweringUi : public test::FakeUiServices {
public:
    std::optional<LinkTexts> edit_link(const Link&) override { return edit_answer; }
    MoveResult move_items(const MoveRequest&) override { return {.target = move_target}; }
    NewLinkDialogResult new_link(const NewLinkDialogRequest&) override {
        return {.accepted = new_link_answer};
    }
    bool open_url(const QString&) override { return true; }

    std::optional<LinkTexts> edit_answer;
    std::optional<RowId> move_target;
    std::optional<NewLinkRequest> new_link_answer;
};

// The window over a shown folder of four links and a hidden one of one link.
struct ShownList {
    ShownList() : controller(*data.model, settings, ui) {
        shown = data.folder("Shown");
        hidden = data.folder("Hidden");
        alpha = data.link("Alpha", "https://a.example/", shown);
        bravo = data.link("Bravo", "https://b.example/", shown);
        charlie = data.link("Charlie", "https://c.example/", shown);
        delta = data.link("Delta", "https://d.example/", shown);
        echo = data.link("Echo", "https://e.example/", hidden);
        window = std::make_unique<MainWindow>(controller);
        window->start();
        window->select_folder(shown);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        resets = std::make_unique<QSignalSpy>(list(), &QAbstractItemModel::modelReset);
    }

    LinkListModel* list() const { return window->list_model(); }
    QTreeView* view() const { return qobject_cast<QTreeView*>(window->list_view()); }

    void click_row(RowId link, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QModelIndex index = list()->index(list()->row_of(link), 0);
        view()->setFocus();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, modifiers,
                          view()->visualRect(index).center());
    }
    void run_menu(const char* top, const char* entry) {
        QAction* action =
            test::menu_entry(*window, QString::fromUtf8(top), QString::fromUtf8(entry));
        QVERIFY(action->isEnabled());
        action->trigger();
    }
    void undo_by_key() {
        window->update_actions();
        QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    }
    bool flagged(RowId link) const {
        const int row = list()->row_of(link);
        return row >= 0 && list()->record(row).has_duplicates;
    }
    QStringList titles() const {
        QStringList out;
        for (int row = 0; row < list()->rowCount(); ++row) {
            out << QString::fromStdString(list()->record(row).title);
        }
        return out;
    }
    QStringList selected_titles() const {
        QModelIndexList rows = view()->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        QStringList out;
        for (const QModelIndex& index : rows) {
            out << QString::fromStdString(list()->record(index.row()).title);
        }
        return out;
    }
    // The row updates never reset the list, which would drop the selection and lay out every row.
    int reset_count() const { return static_cast<int>(resets->count()); }

    test::TestModel data;
    Settings settings;
    AnsweringUi ui;
    AppController controller;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QSignalSpy> resets;
    RowId shown = 0, hidden = 0, alpha = 0, bravo = 0, charlie = 0, delta = 0, echo = 0;
};

}  // namespace

class ShownListTest : public QObject {
    Q_OBJECT

private slots:
    void init() { app::MessageBoxes::reset(); }

    // Link > Properties makes a duplicate in the folder, then with a hidden link, then breaks
    // it; Ctrl+Z takes each back. The partner's row and colour follow at once.
    void editsMakeAndBreakDuplicates() {
        ShownList w;
        auto edit_bravo = [&w](const char* url) {
            w.ui.edit_answer = LinkTexts{"Bravo", QString::fromUtf8(url), {}};
            test::acknowledge();
            w.click_row(w.bravo);
            w.run_menu("&Link", "&Properties...");
        };
        edit_bravo("https://a.example/");
        QVERIFY(w.flagged(w.alpha));
        QVERIFY(w.flagged(w.bravo));
        const QModelIndex alpha_row = w.list()->index(w.list()->row_of(w.alpha), 0);
        QCOMPARE(w.list()->data(alpha_row, Qt::ForegroundRole).value<QColor>(),
                 link_colour(w.list()->record(alpha_row.row()), true));
        QVERIFY(!w.flagged(w.charlie));

        edit_bravo("https://e.example/");
        QVERIFY(!w.flagged(w.alpha));
        QVERIFY(w.flagged(w.bravo));

        w.undo_by_key();
        QVERIFY(w.flagged(w.alpha));
        QVERIFY(w.flagged(w.bravo));
        w.undo_by_key();
        QVERIFY(!w.flagged(w.alpha));
        QVERIFY(!w.flagged(w.bravo));
        QCOMPARE(w.list()->record(w.list()->row_of(w.bravo)).url, "https://b.example/");
        QCOMPARE(w.titles(), QStringList({"Alpha", "Bravo", "Charlie", "Delta"}));
        QCOMPARE(w.reset_count(), 0);
    }

    // A link added to the hidden folder with the address of a shown one flags it; when Ctrl+Z
    // removes the hidden link, the shown one loses its flag, though the list never showed the
    // removed link.
    void undoingAHiddenAddClearsTheShownFlag() {
        ShownList w;
        w.ui.new_link_answer =
            NewLinkRequest{.parent = w.hidden, .title = "Copy", .url = "https://c.example/"};
        w.run_menu("&Link", "&New...");
        w.window->select_folder(w.shown);
        QVERIFY(w.flagged(w.charlie));
        w.resets->clear();
        w.undo_by_key();
        QVERIFY(!w.flagged(w.charlie));
        QCOMPARE(w.reset_count(), 0);
    }

    // Link > Move to the hidden folder and back by Ctrl+Z, then a move from the hidden folder
    // into the shown one undone while the shown one is on screen.
    void undoingMovesBetweenShownAndHiddenFolders() {
        ShownList w;
        w.ui.move_target = w.hidden;
        w.click_row(w.charlie);
        w.run_menu("&Link", "&Move...");
        QCOMPARE(w.titles(), QStringList({"Alpha", "Bravo", "Delta"}));
        w.undo_by_key();
        QCOMPARE(w.titles(), QStringList({"Alpha", "Bravo", "Charlie", "Delta"}));
        QCOMPARE(w.reset_count(), 0);

        w.window->select_folder(w.hidden);
        w.ui.move_target = w.shown;
        w.click_row(w.echo);
        w.run_menu("&Link", "&Move...");
        QCOMPARE(w.list()->rowCount(), 0);
        w.window->select_folder(w.shown);
        QCOMPARE(w.titles(), QStringList({"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
        w.resets->clear();
        w.click_row(w.bravo);
        w.undo_by_key();
        QCOMPARE(w.titles(), QStringList({"Alpha", "Bravo", "Charlie", "Delta"}));
        QCOMPARE(w.selected_titles(), QStringList({"Bravo"}));
        QCOMPARE(w.reset_count(), 0);
    }

    // Two rows selected by clicks: opening the first with Enter, resetting its usage and
    // renaming it so that it moves keep both selected.
    void selectionStaysAcrossRowUpdates() {
        ShownList w;
        w.click_row(w.bravo);
        w.click_row(w.delta, Qt::ControlModifier);
        QCOMPARE(w.selected_titles(), QStringList({"Bravo", "Delta"}));
        QTest::keyClick(w.view(), Qt::Key_Return);
        QCOMPARE(w.data.model->links.find(w.bravo)->visits, 1);
        QCOMPARE(w.list()->record(w.list()->row_of(w.bravo)).visits, 1);
        QCOMPARE(w.selected_titles(), QStringList({"Bravo", "Delta"}));

        test::acknowledge();
        w.run_menu("&Link", "&Reset Usage Information");
        QCOMPARE(w.list()->record(w.list()->row_of(w.bravo)).visits, 0);
        QCOMPARE(w.selected_titles(), QStringList({"Bravo", "Delta"}));

        test::acknowledge();
        w.ui.edit_answer = LinkTexts{"Aardvark", "https://b.example/", {}};
        w.run_menu("&Link", "&Properties...");
        QCOMPARE(w.titles(), QStringList({"Aardvark", "Alpha", "Charlie", "Delta"}));
        QCOMPARE(w.selected_titles(), QStringList({"Aardvark", "Delta"}));
        QCOMPARE(w.controller.state().selected_links.size(), size_t{2});
        QCOMPARE(w.reset_count(), 0);
    }

    // Sorted by a click on the Address header (descending), a new link, an edit and a delete
    // each leave the rows in that order.
    void theChosenOrderIsKept() {
        ShownList w;
        QHeaderView* header = w.view()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(w.titles(), QStringList({"Delta", "Charlie", "Bravo", "Alpha"}));
        w.resets->clear();

        w.ui.new_link_answer =
            NewLinkRequest{.parent = w.shown, .title = "Zulu", .url = "https://bz.example/"};
        w.run_menu("&Link", "&New...");
        QCOMPARE(w.titles(), QStringList({"Delta", "Charlie", "Zulu", "Bravo", "Alpha"}));

        test::acknowledge();
        w.ui.edit_answer = LinkTexts{"Alpha", "https://z.example/", {}};
        w.click_row(w.alpha);
        w.run_menu("&Link", "&Properties...");
        QCOMPARE(w.titles(), QStringList({"Alpha", "Delta", "Charlie", "Zulu", "Bravo"}));

        test::acknowledge();
        w.click_row(w.charlie);
        QTest::keyClick(w.view(), Qt::Key_Delete);
        QCOMPARE(w.titles(), QStringList({"Alpha", "Delta", "Zulu", "Bravo"}));
        QCOMPARE(w.reset_count(), 0);
    }

    // A folder longer than a screen: the rows that End and a header click bring into view show
    // the duplicate colour of the links whose partners sit in another folder, and only those.
    void aLongFolderColoursTheRowsItScrollsTo() {
        ShownList w;
        const RowId long_folder = w.data.folder("Long");
        std::vector<RowId> links;
        for (int i = 0; i < 300; ++i) {
            const std::string n =
                QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')).toStdString();
            links.push_back(w.data.link("Link " + n, "https://n" + n + ".example/", long_folder));
        }
        w.data.link("Copy", "https://n003.example/", w.hidden);
        w.data.link("Copy", "https://n290.example/", w.hidden);
        w.controller.refill_tree(true);
        size_t asked = 0;
        w.list()->set_duplicates_lookup([&w, &asked](std::vector<std::string_view> urls) {
            asked += urls.size();
            return w.controller.model().links.duplicated_addresses(std::move(urls));
        });
        w.window->select_folder(long_folder);
        const QColor duplicated(75, 0, 0);
        auto colour = [&w](RowId link) {
            return w.list()
                ->data(w.list()->index(w.list()->row_of(link), 0), Qt::ForegroundRole)
                .value<QColor>();
        };

        // Selecting every row reads no flag beyond the rows in view.
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.view()->selectionModel()->selectedRows().size(), 300);
        QVERIFY2(asked <= 128, qPrintable(QString::number(asked)));

        QTest::keyClick(w.view(), Qt::Key_End);
        QCOMPARE(w.view()->currentIndex().row(), 299);
        QCOMPARE(colour(links[290]), duplicated);
        QVERIFY(colour(links[291]) != duplicated);

        QHeaderView* header = w.view()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(w.titles().front(), QStringLiteral("Link 299"));
        QTest::keyClick(w.view(), Qt::Key_End);
        QCOMPARE(colour(links[3]), duplicated);
        QCOMPARE(colour(links[290]), duplicated);
        QVERIFY(colour(links[2]) != duplicated);
        QVERIFY(colour(links[150]) != duplicated);
    }
};

QTEST_MAIN(ShownListTest)
#include "shown_list_test.moc"
