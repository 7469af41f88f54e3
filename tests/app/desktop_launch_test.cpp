#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTextDocumentFragment>
#include <QtTest>

#include "app/about_dialog.h"
#include "app/app_controller.h"
#include "app/desktop_launch.h"
#include "app/dialog_services.h"
#include "app_test_support.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

class DesktopLaunchTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void addressesWithoutSchemeBecomeWebAddresses() {
        QCOMPARE(url_for_address(QStringLiteral("www.example.com")).scheme(),
                 QStringLiteral("http"));
        QCOMPARE(url_for_address(QStringLiteral(" https://a.example/x?y=1 ")).toString(),
                 QStringLiteral("https://a.example/x?y=1"));
        QCOMPARE(url_for_address(QStringLiteral("mailto:me@example.com")).scheme(),
                 QStringLiteral("mailto"));
        QCOMPARE(url_for_address(QStringLiteral("smb://host/share")).scheme(),
                 QStringLiteral("smb"));
    }

    void unusualSchemesAskFirst_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("asks_for_feed_item");
        QTest::newRow("http") << "http://a.example" << false << false;
        QTest::newRow("https capitals") << "HTTPS://a.example" << false << false;
        QTest::newRow("bare host") << "a.example/page" << false << false;
        QTest::newRow("ftp") << "ftp://files.example/f" << false << true;
        QTest::newRow("mailto") << "mailto:me@example.com" << false << true;
        QTest::newRow("file") << "file:///tmp/x.html" << false << true;
        QTest::newRow("smb") << "smb://host/share" << true << true;
        QTest::newRow("javascript") << "javascript:alert(1)" << true << true;
        QTest::newRow("custom handler") << "steam://run/1" << true << true;
    }

    void unusualSchemesAskFirst() {
        QFETCH(QString, address);
        QFETCH(bool, asks);
        QFETCH(bool, asks_for_feed_item);
        const QUrl url = url_for_address(address);
        QCOMPARE(opening_needs_confirmation(url), asks);
        QCOMPARE(opening_needs_confirmation(url, true), asks_for_feed_item);
    }

    void optionLikeAddressesNeverReachAProgram() {
        QVERIFY(address_is_safe_argument(QStringLiteral("http://a.example/-x")));
        QVERIFY(address_is_safe_argument(QStringLiteral(" -x")));
        QVERIFY(!address_is_safe_argument(QStringLiteral("-x")));
        QVERIFY(!address_is_safe_argument(QStringLiteral("--remote-debugging-port=1")));
        QVERIFY(!address_is_safe_argument(QString()));

        test::TestModel data;
        DialogServices services(data.model->folders);
        test::acknowledge();
        QVERIFY(!services.start_program(QStringLiteral("/bin/true"), QStringLiteral("--help")));
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY(shown_messages().front().contains(QStringLiteral("--help")));
        QVERIFY(services.start_program(QStringLiteral("/bin/true"),
                                       QStringLiteral("http://a.example/ two words")));
        acknowledge();
        QVERIFY(!services.start_program(QStringLiteral("/nonexistent/browser"),
                                        QStringLiteral("http://a.example/")));
        QCOMPARE(shown_messages().back(), QStringLiteral("Cannot launch application."));
    }

    void onlyAHandedOverLinkCountsAVisit() {
        test::TestModel data;
        const int folder = data.folder("News");
        const int share = data.link("Share", "smb://host/share", folder);
        const int option = data.link("Option", "-x", folder);
        const int web = data.link("Web", "https://a.example/", folder);
        Settings settings;
        settings.applications = {{0, "Missing", "/nonexistent/browser"}, {1, "True", "/bin/true"}};
        DialogServices services(data.model->folders);
        AppController controller(*data.model, settings, services);
        controller.set_clock([] { return std::int64_t{1'700'000'000}; });
        controller.folder_selected(folder, false);
        auto run = [&](int link, int command) {
            controller.links_selected({link});
            controller.execute(command);
            const std::optional<Link> record = data.model->links.find(link);
            return std::make_pair(record->visits, record->last_visit);
        };
        const auto unvisited = std::make_pair(0, std::int64_t{0});

        // The user answers No to the scheme question.
        MessageBoxes::answer_next(QMessageBox::No);
        QCOMPARE(run(share, kCmdOpenLink), unvisited);
        // Open With refuses an address that reads as an option.
        acknowledge();
        QCOMPARE(run(option, kCmdOpenWithFirst + 1), unvisited);
        // The program cannot be started.
        acknowledge();
        QCOMPARE(run(web, kCmdOpenWithFirst), unvisited);
        QCOMPARE(shown_messages().size(), 3);
        QCOMPARE(shown_messages().back(), QStringLiteral("Cannot launch application."));

        QCOMPARE(run(web, kCmdOpenWithFirst + 1), std::make_pair(1, std::int64_t{1'700'000'000}));
    }

    void declinedQuestionOpensNothing() {
        test::TestModel data;
        DialogServices services(data.model->folders);
        MessageBoxes::answer_next(QMessageBox::No);
        services.open_url(QStringLiteral("smb://host/share"));
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY(shown_messages().front().contains(QStringLiteral("smb")));
    }

    void helpFileIsFoundInTheFirstFolderThatHasIt() {
        test::TempDir first;
        test::TempDir second;
        test::write_file(second / "readme_en.html", "<html></html>");
        test::write_file(second / "readme_ru.html", "<html></html>");
        test::write_file(first / "readme_ru.html", "<html></html>");
        const QStringList folders{QString::fromStdString(first.path().string()),
                                  QString::fromStdString(second.path().string())};
        QVERIFY(find_help_file(QStringLiteral("en"), folders).startsWith(folders[1]));
        QVERIFY(find_help_file(QStringLiteral("ru"), folders).startsWith(folders[0]));
        QVERIFY(find_help_file(QStringLiteral("de"), folders).isEmpty());
        QVERIFY(find_help_file(QStringLiteral("en"), {}).isEmpty());
    }

    void clipboardHoldsTheAddress() {
        test::TestModel data;
        DialogServices services(data.model->folders);
        services.set_clipboard(QStringLiteral("http://a.example/"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://a.example/"));
    }

    void aboutBoxNamesVersionBuildAndLibraries() {
        AboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Tagberry"));
        QStringList texts;
        QLabel* version = nullptr;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
            version = label->text() == QStringLiteral("Tagberry Version 2.0.2") ? label : version;
        }
        QVERIFY(version != nullptr && version->font().bold());
        QVERIFY(texts.contains(QStringLiteral("Date of build: ") + QLatin1String(__DATE__)));
        QVERIFY(texts.contains(QStringLiteral("This program uses the following libraries:")));
        QStringList links;
        for (QLabel* link : dialog.links()) {
            QVERIFY(link->openExternalLinks());
            QVERIFY(link->text().contains(link->toolTip()));
            QVERIFY(QUrl(link->toolTip()).scheme() == QStringLiteral("https"));
            links << QTextDocumentFragment::fromHtml(link->text()).toPlainText();
        }
        QCOMPARE(links.mid(1),
                 (QStringList{"SQLite library", "Xerces-C library", "Qt", "Boost", "libcurl"}));
    }
};

QTEST_MAIN(DesktopLaunchTest)
#include "desktop_launch_test.moc"
