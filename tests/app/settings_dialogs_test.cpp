#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTreeWidget>
#include <QtTest>

#include "app/add_application_dialog.h"
#include "app/application_list_dialog.h"
#include "app/dialog_services.h"
#include "app/most_visited_dialog.h"
#include "app/recent_links_dialog.h"
#include "app_test_support.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

std::vector<Application> three_apps() {
    // Indexes as an older list might hold them: not unique.
    return {{0, "First", "/usr/bin/first"},
            {1, "Second", "/usr/bin/second"},
            {1, "Third", "/usr/bin/third"}};
}

QStringList names(const std::vector<Application>& list) {
    QStringList result;
    for (const Application& app : list) {
        result << QString::fromStdString(app.name) + QLatin1Char('#') + QString::number(app.index);
    }
    return result;
}

void check_row(ApplicationListDialog& dialog, int row) {
    dialog.list()->topLevelItem(row)->setCheckState(0, Qt::Checked);
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void mostVisitedShowsAndAppliesValues() {
        Settings settings;
        settings.favourites_mode = 2;
        settings.highlight_unvisited_links = false;
        settings.reset_visits_for_inactive_links = true;
        settings.reset_visits_after_timespan = 6;
        MostVisitedDialog dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Most Visited Links Settings"));
        QVERIFY(dialog.mode_button(2)->isChecked());
        QCOMPARE(dialog.mode_button(0)->text(),
                 QStringLiteral("m&ean value (mathematical average)"));
        QVERIFY(!dialog.highlight_box()->isChecked());
        QCOMPARE(dialog.months_slider()->maximum(), 12);
        QCOMPARE(dialog.reset_box()->text(),
                 QStringLiteral("&Reset the visits counter if a link hasn't been visited "
                                "during, months: 6"));
        dialog.months_slider()->setValue(0);
        QVERIFY(dialog.reset_box()->text().endsWith(QStringLiteral("months: 0")));
        dialog.mode_button(0)->setChecked(true);
        dialog.highlight_box()->setChecked(true);

        Settings copy = settings;
        dialog.apply_to(copy);
        QCOMPARE(copy.favourites_mode, 0);
        QVERIFY(copy.highlight_unvisited_links);
        QCOMPARE(copy.reset_visits_after_timespan, 0);
        // Switching the reset off at 0 months is the command's rule, not the dialog's.
        QVERIFY(copy.reset_visits_for_inactive_links);
    }

    void recentLinksFollowsTheSlider() {
        Settings settings;
        RecentLinksDialog dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Recenty Opened Links Settings"));
        QSlider* slider = dialog.hours_slider();
        QCOMPARE(slider->maximum(), 72);
        QCOMPARE(slider->tickInterval(), 24);
        QCOMPARE(slider->pageStep(), 24);
        QCOMPARE(dialog.hours_label()->text(),
                 QStringLiteral("&Treat link as recent within, hour(s): 24"));
        QCOMPARE(dialog.hours_label()->buddy(), slider);
        QVERIFY(dialog.disabled_label()->isHidden());
        slider->setValue(0);
        QVERIFY(!dialog.disabled_label()->isHidden());
        QCOMPARE(dialog.disabled_label()->text(), QStringLiteral("Link monitoring is disabled."));
        QVERIFY(dialog.hours_label()->text().endsWith(QStringLiteral(": 0")));
        slider->setValue(5);
        QVERIFY(dialog.disabled_label()->isHidden());
    }

    void preferencesCommitOnlyOnOk() {
        test::TestModel data;
        DialogServices services(data.model->folders);
        Settings settings;
        const Settings before = settings;

        on_next_dialog<RecentLinksDialog>([](RecentLinksDialog* d) {
            d->hours_slider()->setValue(3);
            d->reject();
        });
        QVERIFY(!services.recent_preferences(settings));
        on_next_dialog<MostVisitedDialog>([](MostVisitedDialog* d) {
            d->mode_button(2)->setChecked(true);
            d->months_slider()->setValue(11);
            d->reject();
        });
        QVERIFY(!services.most_visited_preferences(settings));
        QCOMPARE(settings, before);

        on_next_dialog<RecentLinksDialog>([](RecentLinksDialog* d) {
            d->hours_slider()->setValue(3);
            d->accept();
        });
        QVERIFY(services.recent_preferences(settings));
        on_next_dialog<MostVisitedDialog>([](MostVisitedDialog* d) {
            d->mode_button(2)->setChecked(true);
            d->months_slider()->setValue(11);
            d->accept();
        });
        QVERIFY(services.most_visited_preferences(settings));
        QCOMPARE(settings.recent_links_timespan, 3);
        QCOMPARE(settings.favourites_mode, 2);
        QCOMPARE(settings.reset_visits_after_timespan, 11);
    }

    void applicationListDeletesExactlyTheCheckedEntries() {
        std::vector<Application> list = three_apps();
        ApplicationListDialog dialog(list);
        QCOMPARE(dialog.list()->headerItem()->text(0), QStringLiteral("Application Name"));
        QCOMPARE(dialog.list()->headerItem()->text(1), QStringLiteral("Path"));

        acknowledge();  // nothing checked
        MessageBoxes::answer_next(QMessageBox::No);
        MessageBoxes::answer_next(QMessageBox::Yes);
        click_button(&dialog, QStringLiteral("&Delete checked"));
        check_row(dialog, 1);
        click_button(&dialog, QStringLiteral("&Delete checked"));
        QCOMPARE(list.size(), size_t(3));
        QVERIFY(!dialog.changed());
        // Second and Third shared index 1; only the checked one goes.
        click_button(&dialog, QStringLiteral("&Delete checked"));
        QCOMPARE(names(list), (QStringList{"First#0", "Third#1"}));
        QCOMPARE(shown_messages(),
                 (QStringList{text_of(msg::kNothingToDelete), text_of(msg::kDeleteItemsQuestion),
                              text_of(msg::kDeleteItemsQuestion)}));

        // An entry added after a deletion gets a fresh index.
        dialog.add_entry(QStringLiteral("Fourth"), QStringLiteral("/opt/fourth"));
        QCOMPARE(names(list), (QStringList{"First#0", "Third#1", "Fourth#2"}));
        check_row(dialog, 0);
        check_row(dialog, 2);
        MessageBoxes::answer_next(QMessageBox::Yes);
        dialog.delete_checked();
        QCOMPARE(names(list), (QStringList{"Third#0"}));
        QCOMPARE(dialog.list()->topLevelItemCount(), 1);
        QVERIFY(dialog.changed());
    }

    void addNewRefusesSemicolonsAndEmptyTexts() {
        std::vector<Application> list;
        ApplicationListDialog dialog(list);
        acknowledge(3);
        bool reached = false;
        on_next_dialog<AddApplicationDialog>(
            [](AddApplicationDialog* add) {
                QCOMPARE(add->windowTitle(), QStringLiteral("Add Application"));
                add->name_edit()->setText(QStringLiteral("Web"));
                click_button(add, QDialogButtonBox::Ok);  // no path
                add->path_edit()->setText(QStringLiteral("/usr/bin/web;x"));
                click_button(add, QDialogButtonBox::Ok);
                add->path_edit()->setText(QStringLiteral("/usr/bin/web"));
                add->name_edit()->setText(QStringLiteral("We;b"));
                click_button(add, QDialogButtonBox::Ok);
                QVERIFY(add->isVisible());
                add->name_edit()->setText(QStringLiteral(" Web "));
                click_button(add, QDialogButtonBox::Ok);
            },
            &reached);
        click_button(&dialog, QStringLiteral("A&dd new..."));
        QVERIFY(reached);
        QCOMPARE(shown_messages().size(), 3);
        QCOMPARE(shown_messages().front(), text_of(msg::kAppNamePathEmpty));
        QVERIFY(shown_messages().at(1).contains(QLatin1Char(';')));
        QCOMPARE(list.size(), size_t(1));
        QCOMPARE(list.front().name, std::string(" Web "));  // kept untrimmed
        QCOMPARE(list.front().path, std::string("/usr/bin/web"));
    }

    void addApplicationStartsOnTheName() {
        AddApplicationDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.name_edit()->hasFocus());
        QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
        QVERIFY(dialog.path_edit()->hasFocus());
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
