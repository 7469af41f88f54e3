#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include "app/duplicates_dialog.h"
#include "app/edit_link_dialog.h"
#include "app/folder_tree.h"
#include "app/new_folder_dialog.h"
#include "app/new_link_dialog.h"
#include "app/select_folder_dialog.h"
#include "app_test_support.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

NewLinkDialogRequest request_over(test::TestModel& data, int parent,
                                  std::vector<RowId> recent = {}) {
    NewLinkDialogRequest request;
    request.preset.parent = parent;
    request.recent_parents = std::move(recent);
    request.check = [&data](NewLinkRequest& r) { return data.model->links.check_new_link(r); };
    request.choice = folder_choice(data, refuse_root);
    return request;
}

QStringList combo_texts(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
    }
    return texts;
}

}  // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void newLinkRunsTheChecksInOrderAndStaysOpen() {
        test::TestModel data;
        const int a = data.folder("A");
        data.link("Taken", "http://example.com", a);

        NewLinkDialog dialog(data.model->folders, request_over(data, kRootFolder, {a}));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.no_duplicates_box()->isChecked());
        QCOMPARE(combo_texts(dialog.parent_combo()), (QStringList{"/", "/A"}));

        // Everything is wrong: the root parent is refused first.
        acknowledge(4);
        click_button(&dialog, QDialogButtonBox::Ok);
        QVERIFY(dialog.parent_combo()->hasFocus());
        dialog.parent_combo()->setCurrentIndex(1);
        emit dialog.parent_combo()->activated(1);
        QCOMPARE(dialog.parent_folder(), a);
        click_button(&dialog, QDialogButtonBox::Ok);  // empty title and address

        dialog.title_edit()->setText(QStringLiteral("Taken"));
        dialog.address_edit()->setText(QStringLiteral("  example.com "));
        click_button(&dialog, QDialogButtonBox::Ok);  // the address is in use
        QCOMPARE(dialog.address_edit()->text(), QStringLiteral("http://example.com"));

        dialog.no_duplicates_box()->setChecked(false);
        click_button(&dialog, QDialogButtonBox::Ok);  // the title is taken in A
        QVERIFY(dialog.isVisible());
        QCOMPARE(shown_messages(),
                 (QStringList{text_of(msg::kNoLinksInRoot), text_of(msg::kItemLinkAddressEmpty),
                              text_of(msg::kUrlExists), text_of(msg::kTitleExistsInFolder)}));
        QVERIFY(!dialog.accepted_request());

        dialog.title_edit()->setText(QStringLiteral("Second"));
        dialog.comment_edit()->setPlainText(QStringLiteral("why"));
        click_button(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const NewLinkRequest& accepted = *dialog.accepted_request();
        QCOMPARE(accepted.parent, a);
        QCOMPARE(accepted.title, std::string("Second"));
        QCOMPARE(accepted.url, std::string("http://example.com"));
        QCOMPARE(accepted.comment, std::string("why"));
        QVERIFY(accepted.allow_duplicates);
    }

    void newLinkListsParentThenRecentParents() {
        test::TestModel data;
        const int a = data.folder("A");
        const int b = data.folder("B", a);
        const int c = data.folder("C");
        NewLinkDialog dialog(data.model->folders, request_over(data, b, {a, b, c}));
        QCOMPARE(combo_texts(dialog.parent_combo()), (QStringList{"/A/B", "/A", "/C"}));
        QCOMPARE(dialog.parent_combo()->currentIndex(), 0);
        QCOMPARE(dialog.parent_folder(), b);
    }

    void selectRefusesRootAndKeepsThePreviousParent() {
        test::TestModel data;
        const int a = data.folder("A");
        const int b = data.folder("B");
        NewLinkDialog dialog(data.model->folders, request_over(data, a));

        acknowledge();
        on_next_dialog<SelectFolderDialog>([](SelectFolderDialog* select) {
            select->tree()->select_id(kRootFolder);
            select->accept();  // refused with 140, stays open
            QVERIFY(select->isVisible());
            select->reject();
        });
        dialog.select_parent();
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kNoLinksInRoot)});
        QCOMPARE(dialog.parent_folder(), a);

        on_next_dialog<SelectFolderDialog>([&](SelectFolderDialog* select) {
            on_next_dialog<NewFolderDialog>([](NewFolderDialog* d) {
                d->title_edit()->setText(QStringLiteral("Fresh"));
                d->accept();
            });
            select->tree()->select_id(b);
            select->new_folder();
            select->accept();
        });
        dialog.select_parent();
        QVERIFY(dialog.folders_created());
        QCOMPARE(dialog.parent_combo()->itemText(0), QStringLiteral("/B/Fresh"));
        QCOMPARE(data.model->folders.find(dialog.parent_folder())->parent, b);
    }

    void editLinkTrimsAndRefusesEmptyTexts() {
        Link link{.id = 7, .title = "Title", .url = "http://a.example", .comment = "note"};
        EditLinkDialog dialog(link);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Link"));
        QCOMPARE(dialog.comment_edit()->toPlainText(), QStringLiteral("note"));
        dialog.address_edit()->setText(QStringLiteral("   "));
        acknowledge();
        dialog.accept();
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kLinkTitleAddressEmpty)});
        dialog.title_edit()->setText(QStringLiteral(" New title "));
        dialog.address_edit()->setText(QStringLiteral(" http://b.example\t"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.texts().title, QStringLiteral("New title"));
        QCOMPARE(dialog.texts().url, QStringLiteral("http://b.example"));
    }

    void linkDialogsCleanControlCharactersAndRefuseAnAddressOfNothingElse() {
        test::TestModel data;
        const int a = data.folder("A");
        NewLinkDialog dialog(data.model->folders, request_over(data, a));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.title_edit()->setText(QStringLiteral("T"));
        dialog.address_edit()->setText(QString::fromUtf8("\x1B\x07"));
        acknowledge();
        QTest::keyClick(dialog.address_edit(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kItemLinkAddressEmpty)});
        dialog.title_edit()->setText(QString::fromUtf8("Two\tparts\x1B[2J"));
        dialog.address_edit()->setText(QString::fromUtf8("http://a.example/x\ty"));
        QTest::keyClick(dialog.address_edit(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.accepted_request()->title, std::string("Two parts[2J"));
        QCOMPARE(dialog.accepted_request()->url, std::string("http://a.example/xy"));

        MessageBoxes::reset();
        Link link{.id = 7, .title = "Title", .url = "http://a.example", .comment = ""};
        EditLinkDialog edit(link);
        edit.show();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        edit.address_edit()->setText(QString::fromUtf8("\x1B"));
        acknowledge();
        QTest::keyClick(edit.address_edit(), Qt::Key_Return);
        QVERIFY(edit.isVisible());
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kLinkTitleAddressEmpty)});
        edit.address_edit()->setText(QString::fromUtf8("http://b.example/\tz"));
        QTest::keyClick(edit.address_edit(), Qt::Key_Return);
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        QCOMPARE(edit.texts().url, QStringLiteral("http://b.example/z"));
    }

    void duplicatesShowsTheRecords() {
        DuplicatesDialog dialog(three_duplicates());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Duplicate Records"));
        bool caption = false;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            caption = caption ||
                      label->text() == "Found 3 items with this URL in the folllowing folders:";
        }
        QVERIFY(caption);
        QTreeWidget* list = dialog.list();
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("Link title"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Full folder name"));
        QVERIFY(list->header()->font().bold());
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("/B/C"));
    }

    void duplicatesDeleteCheckedFlows() {
        DuplicatesDialog dialog(three_duplicates());
        dialog.show();
        QTreeWidget* list = dialog.list();
        // 156 with nothing ticked, 155 with everything ticked; No keeps the dialog open.
        acknowledge(2);
        MessageBoxes::answer_next(QMessageBox::No);
        MessageBoxes::answer_next(QMessageBox::Yes);
        click_button(&dialog, QStringLiteral("&Delete checked"));
        for (int i = 0; i < 3; ++i) {
            list->topLevelItem(i)->setCheckState(0, Qt::Checked);
        }
        click_button(&dialog, QStringLiteral("&Delete checked"));
        list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        click_button(&dialog, QStringLiteral("&Delete checked"));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.doomed().empty());
        click_button(&dialog, QStringLiteral("&Delete checked"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.doomed(), (std::vector<RowId>{11, 13}));
        QCOMPARE(
            shown_messages(),
            (QStringList{QStringLiteral("No items selected!"),
                         QStringLiteral("You cannot delete all entries in the list at one "
                                        "time!"),
                         text_of(msg::kDeleteItemsQuestion), text_of(msg::kDeleteItemsQuestion)}));
    }

private:
    static DuplicatesRequest three_duplicates() {
        DuplicatesRequest request{.link = {.id = 11, .title = "One", .url = "http://x.example"},
                                  .folder_path = QStringLiteral("/A")};
        request.rows = {{{.id = 11, .title = "One"}, QStringLiteral("/A")},
                        {{.id = 12, .title = "Two"}, QStringLiteral("/B")},
                        {{.id = 13, .title = "Three"}, QStringLiteral("/B/C")}};
        return request;
    }
};

QTEST_MAIN(LinkDialogsTest)
#include "link_dialogs_test.moc"
