#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <clocale>
#include <cstring>

#include "app/app_controller.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "fake_ui_services.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;

namespace {

QString library_folder() {
    return QFileInfo(QStringLiteral(TB_RUSSIAN_LIBRARY)).absolutePath();
}

QString menu(const char* text, const char* disambiguation = nullptr) {
    return QCoreApplication::translate("Menu", text, disambiguation);
}

// The main window as the program builds it, over a fresh database.
struct Window {
    Window() : controller(*data.model, settings, ui), window(controller) { window.start(); }

    QStringList menu_titles() const {
        QStringList titles;
        for (QAction* action : window.menuBar()->actions()) {
            titles << action->text();
        }
        return titles;
    }

    test::TestModel data;
    Settings settings;
    test::FakeUiServices ui;
    AppController controller;
    MainWindow window;
};

}  // namespace

// Translators cannot be taken back out of the application, so the English cases run first.
class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void missingLibraryKeepsEnglishSilently() {
        test::TempDir empty;
        QVERIFY(!load_russian({QString::fromStdString(empty.path().string())}));
        // The test program's own folder holds no library, so the setting alone changes nothing.
        choose_language(1);
        QVERIFY(test::shown_messages().isEmpty());
        QCOMPARE(test::text_of(msg::kNoSubfoldersInSpecial),
                 QStringLiteral("You cannot add subfolders to a special folder."));
        QCOMPARE(menu("&File"), QStringLiteral("&File"));
        QCOMPARE(std::strcmp(std::setlocale(LC_TIME, nullptr), "C"), 0);

        Window english;
        QCOMPARE(english.menu_titles().value(0), QStringLiteral("&File"));
        english_caption_ = english.window.windowTitle();
        QVERIFY(english_caption_.startsWith(QStringLiteral("Tagberry 2.0")));
    }

    void aFileThatIsNoLibraryIsPassedOver() {
        test::TempDir dir;
        test::write_file(dir.path() / kRussianLibrary, "not a library");
        const QString broken = QString::fromStdString(dir.path().string());
        QVERIFY(!load_russian({broken}));
        QCOMPARE(menu("&File"), QStringLiteral("&File"));
        // The next folder in the search order still counts.
        QVERIFY(load_russian({broken, library_folder()}));
        QVERIFY(test::shown_messages().isEmpty());
    }

    void stringTableInRussian() {
        QCOMPARE(test::text_of(msg::kNoSubfoldersInSpecial),
                 QStringLiteral("Нельзя добавлять подкаталоги в специальный каталог."));
        QCOMPARE(test::text_of(msg::kDuplicateFolderName),
                 QStringLiteral("Каталог с таким именем уже существует."));
        // The table's own wording, slip included.
        QCOMPARE(test::text_of(msg::kCannotOpenForWriting),
                 QStringLiteral("Неу удалось открыть файл."));
        QCOMPARE(test::text_of(msg::kDeleteFolderQuestion, {"News"}),
                 QStringLiteral("Удалить каталог 'News'?"));
        QCOMPARE(test::text_of(msg::kAppTitle), QStringLiteral("Tagberry 2.0"));
        QCOMPARE(test::text_of(204), QStringLiteral("n/a"));
    }

    void coreTemplatesInRussianWithTheirArguments() {
        // An argument is filled in after translation and never read as a placeholder itself.
        const Message deleted = Message::plain("Cannot delete %1.", {"/tmp/feeds/%2 100%.xml"});
        QCOMPARE(message_text(deleted),
                 QStringLiteral("Не удалось удалить /tmp/feeds/%2 100%.xml."));
        QCOMPARE(QString::fromStdString(render(deleted)),
                 QStringLiteral("Cannot delete /tmp/feeds/%2 100%.xml."));
        const Message skipped = Message::plain(
            "Newsfeed '%1': some error occured when parsing XML file. Skipping...", {"Daily"});
        QCOMPARE(message_text(skipped),
                 QStringLiteral("Лента новостей 'Daily': ошибка при разборе файла XML. Лента "
                                "пропущена."));
        // An engine's own text has no translation and keeps its percent signs.
        QCOMPARE(message_text(Message::plain("disk I/O error at 100%1")),
                 QStringLiteral("disk I/O error at 100%1"));
    }

    void menusInRussian() {
        QCOMPARE(menu("&File"), QStringLiteral("&Файл"));
        QCOMPARE(menu("&Minimise to Tray"), QStringLiteral("C&крывать свернутое окно"));
        // One English text, two Russian mnemonics.
        QCOMPARE(menu("&Move..."), QStringLiteral("&Переместить..."));
        QCOMPARE(menu("&Move...", "link"), QStringLiteral("Пере&местить..."));

        Window russian;
        QCOMPARE(russian.menu_titles(), (QStringList{"&Файл", "&Данные", "&Вид", "&Ленты новостей",
                                                     "&Каталог", "&Ссылка", "&?"}));
        QCOMPARE(russian.window.windowTitle(), english_caption_);
        QVERIFY(test::shown_messages().isEmpty());
    }

    void standardButtonsInRussian() {
#ifdef TB_HAVE_QTBASE_RU
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
#else
        QSKIP("The system has no Russian translation of Qt's own texts.");
#endif
    }

private:
    QString english_caption_;
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
