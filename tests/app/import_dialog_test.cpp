#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "app/import_dialog.h"
#include "app_test_support.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

const QString kProceed = QStringLiteral("&Proceed");

// A click on the indicator: a laid-out button is wider than its text, whose end is no hit.
void pick(ImportDialog& dialog, ImportSource source) {
    QRadioButton* button = dialog.source_button(source);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Browse answered with `path` by whichever picker the source uses.
void browse_to(ImportDialog& dialog, const QString& path) {
    dialog.choose_file = [path](const QString&) { return path; };
    dialog.choose_folder = [path] { return path; };
    QTest::mouseClick(dialog.browse_button(), Qt::LeftButton);
}

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestModel> data;

private slots:
    void init() {
        MessageBoxes::reset();
        data = std::make_unique<test::TestModel>();
    }

    void opensOnBookmarksWithTheDefaults() {
        ImportDialog dialog(data->model->folders);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Import Data"));
        QVERIFY(dialog.source_button(ImportSource::BookmarkFile)->isChecked());
        QVERIFY(!dialog.ignore_existing()->isChecked());
        QVERIFY(!dialog.ignore_structure()->isChecked());
        QVERIFY(dialog.recursive()->isChecked());
        QCOMPARE(dialog.target()->text(), QStringLiteral("Mozilla Bookmarks"));
        QVERIFY(!dialog.location()->isReadOnly());

        QStringList labels;
        for (QLabel* label : dialog.group_labels()) {
            labels << label->text().remove(QLatin1Char('&'));
            QCOMPARE(label->font().weight(), QFont::Bold);
        }
        QCOMPARE(labels, (QStringList{"What do you want to import:", "Options:", "Data location:",
                                      "Target folder name:"}));
        QStringList sources;
        for (int i = 0; i < kImportSourceCount; ++i) {
            sources << dialog.source_button(static_cast<ImportSource>(i))
                           ->text()
                           .remove(QLatin1Char('&'));
        }
        QCOMPARE(sources,
                 (QStringList{"Netscape/Mozilla bookmarks", "Internet Explorer Favourites",
                              "Tagberry 1.x database", "internet shortcuts from disk (recursively)",
                              "web links from an HTML file",
                              "web links from HTML files (recursively)", "Web browser profile"}));
    }

    void keyboardReachesEveryControl() {
        ImportDialog dialog(data->model->folders);
        QList<QWidget*> chain;
        QWidget* at = dialog.source_button(ImportSource::BookmarkFile);
        for (int i = 0; i < 20; ++i, at = at->nextInFocusChain()) {
            if ((at->focusPolicy() & Qt::TabFocus) != 0) {
                chain << at;
            }
        }
        QList<QWidget*> expected;
        for (int i = 0; i < kImportSourceCount; ++i) {
            expected << dialog.source_button(static_cast<ImportSource>(i));
        }
        expected << dialog.ignore_existing() << dialog.ignore_structure() << dialog.recursive()
                 << dialog.update_earlier() << dialog.location() << dialog.browse_button()
                 << dialog.profiles() << dialog.target();
        QCOMPARE(chain.mid(0, expected.size()), expected);

        // Every mnemonic is set and none is used twice.
        QSet<QChar> keys;
        QStringList texts;
        for (auto* button : dialog.findChildren<QAbstractButton*>()) {
            texts << button->text();
        }
        for (auto* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
        }
        int marked = 0;
        for (const QString& text : texts) {
            const qsizetype amp = text.indexOf(QLatin1Char('&'));
            if (amp >= 0 && amp + 1 < text.size()) {
                ++marked;
                const QChar key = text.at(amp + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(text));
                keys.insert(key);
            }
        }
        QVERIFY(marked >= kImportSourceCount + 3 + 2 + 2);
    }

    void enablingFollowsTheSource_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("location");
        QTest::addColumn<bool>("structure");
        QTest::addColumn<bool>("recursive");
        QTest::newRow("bookmarks") << 0 << true << true << false;
        QTest::newRow("favourites") << 1 << false << true << false;
        QTest::newRow("legacy") << 2 << true << true << false;
        QTest::newRow("shortcuts") << 3 << true << true << true;
        QTest::newRow("html file") << 4 << true << false << false;
        QTest::newRow("html folder") << 5 << true << true << true;
    }

    void enablingFollowsTheSource() {
        QFETCH(int, source);
        QFETCH(bool, location);
        QFETCH(bool, structure);
        QFETCH(bool, recursive);
        ImportDialog dialog(data->model->folders);
        // From a source whose controls differ in every respect first.
        pick(dialog, source == 4 ? ImportSource::Shortcuts : ImportSource::HtmlFile);
        pick(dialog, static_cast<ImportSource>(source));
        QCOMPARE(int(dialog.source()), source);
        QCOMPARE(dialog.location()->isEnabled(), location);
        QCOMPARE(dialog.browse_button()->isEnabled(), location);
        QCOMPARE(dialog.ignore_structure()->isEnabled(), structure);
        QCOMPARE(dialog.recursive()->isEnabled(), recursive);
        QVERIFY(dialog.ignore_existing()->isEnabled());
    }

    void recursivelyDecidesIgnoreStructure() {
        ImportDialog dialog(data->model->folders);
        pick(dialog, ImportSource::HtmlFolder);
        QTest::mouseClick(dialog.recursive(), Qt::LeftButton);
        QVERIFY(!dialog.recursive()->isChecked());
        QVERIFY(!dialog.ignore_structure()->isEnabled());
        QTest::mouseClick(dialog.recursive(), Qt::LeftButton);
        QVERIFY(dialog.recursive()->isChecked());
        QVERIFY(dialog.ignore_structure()->isEnabled());
    }

    void targetNameFollowsSourceAndPath() {
        data->folder("Links");
        ImportDialog dialog(data->model->folders);
        pick(dialog, ImportSource::Shortcuts);
        QCOMPARE(dialog.target()->text(), QString());
        browse_to(dialog, QStringLiteral("/home/u/Docs/Links"));
        QCOMPARE(dialog.location()->text(), QStringLiteral("/home/u/Docs/Links"));
        QCOMPARE(dialog.target()->text(), QStringLiteral("Links-01"));

        // A hand-typed name gives way to the computed one on every source change.
        dialog.target()->setText(QStringLiteral("Mine"));
        pick(dialog, ImportSource::BookmarkFile);
        QCOMPARE(dialog.target()->text(), QStringLiteral("Mozilla Bookmarks"));
        QCOMPARE(dialog.location()->text(), QString());
        dialog.target()->setText(QStringLiteral("Mine"));
        pick(dialog, ImportSource::Shortcuts);
        QCOMPARE(dialog.location()->text(), QStringLiteral("/home/u/Docs/Links"));
        QCOMPARE(dialog.target()->text(), QStringLiteral("Links-01"));

        // Cancelled browsing keeps the remembered path.
        browse_to(dialog, QString());
        QCOMPARE(dialog.location()->text(), QStringLiteral("/home/u/Docs/Links"));

        pick(dialog, ImportSource::HtmlFile);
        browse_to(dialog, QStringLiteral("/pages/index.html"));
        QCOMPARE(dialog.target()->text(), QStringLiteral("index.html"));

        // The legacy database's name stays fixed, and a taken fixed name gets a free variant.
        data->folder("Tagberry 1.x Bookmarks");
        pick(dialog, ImportSource::LegacyDatabase);
        dialog.target()->setText(QStringLiteral("Typed"));
        browse_to(dialog, QStringLiteral("/old/data"));
        QCOMPARE(dialog.target()->text(), QStringLiteral("Typed"));
        pick(dialog, ImportSource::LegacyDatabase);
        QCOMPARE(dialog.target()->text(), QStringLiteral("Tagberry 1.x Bookmarks-01"));
    }

    void typedLocationIsTheImportedPath() {
        ImportDialog dialog(data->model->folders);
        dialog.show();
        QTest::keyClicks(dialog.location(), QStringLiteral("/typed/path.html"));
        click_button(&dialog, kProceed);
        QVERIFY(shown_messages().isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.request().path, std::filesystem::path("/typed/path.html"));
    }

    void fileFiltersKeepTheirOwnFirstAndOfferEveryFile() {
        ImportDialog dialog(data->model->folders);
        QStringList filters;
        dialog.choose_file = [&filters](const QString& filter) {
            filters << filter;
            return QString();
        };
        QTest::mouseClick(dialog.browse_button(), Qt::LeftButton);
        pick(dialog, ImportSource::HtmlFile);
        QTest::mouseClick(dialog.browse_button(), Qt::LeftButton);
        QCOMPARE(filters, (QStringList{"Mozilla bookmarks (*.html);;Bookmark files (*.html "
                                       "*.htm);;All files (*)",
                                       "HTML documents (*.html *.htm);;All files (*)"}));
    }

    void missingPathKeepsTheDialogOpen_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("message");
        QTest::newRow("bookmarks") << 0 << 168;
        QTest::newRow("legacy") << 2 << 169;
        QTest::newRow("shortcuts") << 3 << 171;
        QTest::newRow("html file") << 4 << 170;
        QTest::newRow("html folder") << 5 << 171;
    }

    void missingPathKeepsTheDialogOpen() {
        QFETCH(int, source);
        QFETCH(int, message);
        ImportDialog dialog(data->model->folders);
        dialog.show();
        // A path remembered for another source does not count.
        pick(dialog, source == 0 ? ImportSource::HtmlFile : ImportSource::BookmarkFile);
        browse_to(dialog, QStringLiteral("/elsewhere/file.html"));
        pick(dialog, static_cast<ImportSource>(source));
        acknowledge();
        click_button(&dialog, kProceed);
        QCOMPARE(shown_messages(), QStringList{text_of(message)});
        QVERIFY(dialog.isVisible());

        browse_to(dialog, QStringLiteral("/chosen/place"));
        click_button(&dialog, kProceed);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(shown_messages().size(), 1);
        QCOMPARE(dialog.request().path, std::filesystem::path("/chosen/place"));
        QCOMPARE(int(dialog.request().source), source);
    }

    void requestCarriesOptionsAndTarget() {
        ImportDialog dialog(data->model->folders);
        browse_to(dialog, QStringLiteral("/b/bookmarks.html"));
        QTest::mouseClick(dialog.ignore_existing(), Qt::LeftButton);
        QTest::mouseClick(dialog.ignore_structure(), Qt::LeftButton);
        dialog.target()->setText(QStringLiteral("Imported «Ж»"));
        click_button(&dialog, kProceed);
        const ImportRequest request = dialog.request();
        QCOMPARE(request.target, std::string("Imported «Ж»"));
        QVERIFY(request.options.ignore_existing);
        QVERIFY(request.options.ignore_structure);
        QVERIFY(request.options.recursive);
    }

    void favouritesAreLookedUpOnProceed() {
        test::TempDir prefix;
        qputenv("WINEPREFIX", QFile::encodeName(QString::fromStdString(prefix.path().string())));
        qputenv("USER", "tester");
        ImportDialog dialog(data->model->folders);
        dialog.show();
        pick(dialog, ImportSource::Favourites);
        QCOMPARE(dialog.target()->text(), QStringLiteral("Internet Explorer Bookmarks"));

        acknowledge(2);
        dialog.browse();
        click_button(&dialog, kProceed);
        QCOMPARE(shown_messages(), (QStringList{text_of(msg::kFavouritesAutomatic),
                                                text_of(msg::kNoFavouritesFolder)}));
        QVERIFY(dialog.isVisible());

        const auto favourites = prefix / "drive_c/users/tester/Favorites";
        std::filesystem::create_directories(favourites);
        click_button(&dialog, kProceed);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.request().path, favourites);
        qunsetenv("WINEPREFIX");
    }
};

QTEST_MAIN(ImportDialogTest)
#include "import_dialog_test.moc"
