#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/folder_properties_dialog.h"
#include "app/folder_tree.h"
#include "app/move_items_dialog.h"
#include "app/new_folder_dialog.h"
#include "app/select_folder_dialog.h"
#include "app_test_support.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

class FolderDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void newFolderRefusesEmptyTitleAndKeepsFocus() {
        NewFolderDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        acknowledge(2);
        for (const QString& text : {QString(), QStringLiteral(" \t ")}) {
            dialog.title_edit()->setText(text);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.title_edit()->hasFocus());
        }
        QCOMPARE(shown_messages(), QStringList(2, QStringLiteral("Folder title cannot be empty.")));

        dialog.title_edit()->setText(QStringLiteral("News; Sport"));
        click_button(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.text(), QStringLiteral("News; Sport"));
    }

    void newFolderHintAndMnemonic() {
        NewFolderDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Folder"));
        QVERIFY(label_with_text(&dialog,
                                QStringLiteral("You may create multiple folders on the same level "
                                               "at once.\nTo do this, separate folder names with "
                                               "';'.")));
        QCOMPARE(label_with_text(&dialog, QStringLiteral("&Title:"))->buddy(), dialog.title_edit());
    }

    void folderPropertiesFillsAndRefusesEmptyTitle() {
        FolderPropertiesDialog dialog(QStringLiteral("Work"), true);
        QCOMPARE(dialog.title(), QStringLiteral("Work"));
        QVERIFY(dialog.is_protected());
        QCOMPARE(dialog.protect_box()->text(), QStringLiteral("&Protect child links"));
        dialog.title_edit()->clear();
        acknowledge();
        dialog.accept();
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kFolderTitleEmpty)});
        dialog.title_edit()->setText(QStringLiteral("Play"));
        dialog.protect_box()->setChecked(false);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.title(), QStringLiteral("Play"));
        QVERIFY(!dialog.is_protected());
    }

    void selectFolderRefusesRootAndCreatesFolders() {
        test::TestModel data;
        const int a = data.folder("A");
        SelectFolderDialog dialog(data.model->folders, a, folder_choice(data, refuse_root));
        QCOMPARE(dialog.chosen(), a);

        dialog.tree()->select_id(kRootFolder);
        acknowledge();
        click_button(&dialog, QDialogButtonBox::Ok);
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kNoLinksInRoot)});

        dialog.tree()->select_id(a);
        on_next_dialog<NewFolderDialog>([](NewFolderDialog* d) {
            d->title_edit()->setText(QStringLiteral("Inner;Deep"));
            d->accept();
        });
        click_button(&dialog, QStringLiteral("&New folder..."));
        QVERIFY(dialog.folders_created());
        const Folder* deep = nullptr;
        for (const Folder* child : data.model->folders.children(a)) {
            deep = child->title == "Deep" ? child : deep;
        }
        QVERIFY(deep != nullptr);
        QCOMPARE(dialog.chosen(), deep->id);  // the first new folder in sorted order
        click_button(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void selectFolderCancelledNewFolderCreatesNothing() {
        test::TestModel data;
        SelectFolderDialog dialog(data.model->folders, kRootFolder,
                                  folder_choice(data, refuse_root));
        on_next_dialog<NewFolderDialog>([](NewFolderDialog* d) { d->reject(); });
        dialog.new_folder();
        QVERIFY(!dialog.folders_created());
        QCOMPARE(data.model->folders.list().size(), size_t(1));
    }

    void moveItemsShowsObjectAndLastTargets() {
        test::TestModel data;
        const int a = data.folder("A");
        const int b = data.folder("B", a);
        const int gone = data.folder("Gone");
        data.model->folders.delete_folder(gone);
        data.model->folders.reload();

        MoveRequest request{.moving_links = true,
                            .selected_object = QStringLiteral("Group of links"),
                            .last_targets = {b, gone}};
        MoveItemsDialog dialog(data.model->folders, request);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Move Items"));
        QLabel* object = label_with_text(&dialog, QStringLiteral("Group of links"));
        QVERIFY(object != nullptr && object->font().bold());
        QVERIFY(label_with_text(&dialog, QStringLiteral("Selected object:")));
        QCOMPARE(dialog.target(), kRootFolder);
        QCOMPARE(dialog.target_path()->text(), QStringLiteral("/"));
        QVERIFY(dialog.target_path()->font().bold());

        QComboBox* last = dialog.last_targets();
        QVERIFY(last->isEnabled());
        QCOMPARE(last->count(), 2);  // the deleted target is not offered
        QCOMPARE(last->itemText(0), QStringLiteral("Select folder..."));
        QCOMPARE(last->currentIndex(), 0);
        QCOMPARE(last->itemText(1), QStringLiteral("B"));
        last->setCurrentIndex(1);
        emit last->activated(1);
        QCOMPARE(dialog.target(), b);
        QCOMPARE(dialog.target_path()->text(), QStringLiteral("/A/B"));
    }

    void moveItemsWithoutLastTargetsDisablesTheCombo() {
        test::TestModel data;
        MoveItemsDialog dialog(data.model->folders, MoveRequest{});
        QVERIFY(!dialog.last_targets()->isEnabled());
        QCOMPARE(dialog.last_targets()->currentText(), QStringLiteral("Select folder..."));
    }

    void moveItemsRefusalKeepsItOpen() {
        test::TestModel data;
        const int a = data.folder("A");
        const int b = data.folder("B", a);
        MoveRequest request;
        request.selected_object = QStringLiteral("/A");
        request.choice = folder_choice(data, [&](int target) {
            if (target == a)
                return int(msg::kMoveFolderToItself);
            return data.model->folders.is_descendant(target, a) ? int(msg::kMoveFolderToDescendant)
                                                                : 0;
        });
        MoveItemsDialog dialog(data.model->folders, request);
        dialog.show();
        acknowledge(2);
        dialog.tree()->select_id(a);
        click_button(&dialog, QDialogButtonBox::Ok);
        dialog.tree()->select_id(b);
        click_button(&dialog, QDialogButtonBox::Ok);
        QVERIFY(dialog.isVisible());
        QCOMPARE(shown_messages(),
                 (QStringList{QStringLiteral("Couldn't move folder to itself."),
                              QStringLiteral("Couldn't move folder to its descendant.")}));

        on_next_dialog<NewFolderDialog>([](NewFolderDialog* d) {
            d->title_edit()->setText(QStringLiteral("Elsewhere"));
            d->accept();
        });
        dialog.tree()->select_id(kRootFolder);
        dialog.new_folder();
        QVERIFY(dialog.folders_created());
        QCOMPARE(dialog.target_path()->text(), QStringLiteral("/Elsewhere"));
        click_button(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(data.model->folders.find(dialog.target())->title, std::string("Elsewhere"));
    }
};

QTEST_MAIN(FolderDialogsTest)
#include "folder_dialogs_test.moc"
