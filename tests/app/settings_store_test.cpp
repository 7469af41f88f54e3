#include "app/settings_store.h"

#include <QCoreApplication>
#include <QtTest>
#include <cstdlib>

#include "platform/ini_settings_store.h"
#include "support/test_support.h"

namespace {

using tb::IniSettingsStore;
using tb::Settings;
using tb::app::QSettingsStore;

// Every value away from its default, and application texts that need Qt's quoting and escapes.
Settings unusual_settings() {
    Settings settings;
    settings.left_pane_width = 333;
    settings.list_style = 0;
    settings.language = 1;
    settings.recent_links_timespan = 72;
    settings.highlight_unvisited_links = false;
    settings.reset_visits_for_inactive_links = false;
    settings.reset_visits_after_timespan = 0;
    settings.favourites_mode = 2;
    settings.show_drop_window = true;
    settings.drop_window_pos_x = 1024;
    settings.drop_window_pos_y = -1;
    settings.minimise_to_tray = true;
    settings.always_show_item_properties = false;
    settings.update_channels_every = 15;
    settings.applications = {
        {0, "@home", "C:\\Program Files\\Web\\web.exe"},
        {1, "  Fire, \"fox\"\t", "/usr/bin/firefox"},
        {2, "Браузер \xF0\x9F\x8C\x8D", "/opt/b=b/%20x"},
    };
    return settings;
}

class SettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() { std::filesystem::remove(tb::settings_file_path()); }

    void freshStoreReadsDefaults() {
        QSettingsStore store;
        QCOMPARE(tb::load_settings(store), Settings());
    }

    void guiFileIsTheOneTheToolReads() {
        QSettingsStore store;
        QCOMPARE(std::filesystem::path(store.file_name().toStdString()), tb::settings_file_path());
    }

    void writtenSettingsReadBackThroughBothStores() {
        const Settings written = unusual_settings();
        {
            QSettingsStore store;
            tb::save_settings(written, store);
        }
        const std::string file = tb::test::read_file(tb::settings_file_path());
        QVERIFY(file.find("[Settings]") != std::string::npos);
        QVERIFY(file.find("Left%20pane%20width=333") != std::string::npos);

        QSettingsStore gui;
        QCOMPARE(tb::load_settings(gui), written);
        IniSettingsStore tool;
        QCOMPARE(tb::load_settings(tool), written);
    }

    void outOfRangeValueTakesDefaultInBothStores() {
        {
            QSettingsStore store;
            store.write_int("Update Channels Every", 0);
            store.write_int("Drop Window Pos X", -7);
        }
        QSettingsStore gui;
        IniSettingsStore tool;
        for (tb::SettingsStore* store :
             {static_cast<tb::SettingsStore*>(&gui), static_cast<tb::SettingsStore*>(&tool)}) {
            const Settings settings = tb::load_settings(*store);
            QCOMPARE(settings.update_channels_every, 5);
            QCOMPARE(settings.drop_window_pos_x, -1);
        }
    }

    void valuesThatAreNoTextReadAsMissingInBothStores() {
        {
            QSettings raw(QStringLiteral("Quillmont"), QStringLiteral("Tagberry 2.0"));
            raw.setValue(QStringLiteral("Settings/Application Names"),
                         QStringList{QStringLiteral("A;"), QStringLiteral("B;")});
            raw.setValue(QStringLiteral("Settings/List style"), QStringLiteral("two"));
        }
        QSettingsStore gui;
        IniSettingsStore tool;
        QCOMPARE(gui.read_text("Application Names"), std::optional<std::string>());
        QCOMPARE(tool.read_text("Application Names"), std::optional<std::string>());
        QCOMPARE(gui.read_int("List style"), std::optional<int>());
        QCOMPARE(tool.read_int("List style"), std::optional<int>());
    }
};

}  // namespace

int main(int argc, char** argv) {
    // QSettings finds its file through XDG_CONFIG_HOME, which must be set before Qt starts.
    tb::test::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    QCoreApplication app(argc, argv);
    SettingsStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "settings_store_test.moc"
