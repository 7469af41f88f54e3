#include "app/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QTranslator>
#include <clocale>

namespace tb::app {

namespace {

constexpr char kProgramTranslation[] = ":/i18n/tagberry_ru.qm";
constexpr char kQtTranslation[] = ":/i18n/qtbase_ru.qm";

// A translator lives as long as the application, so its texts stay valid for every window.
bool install_translation(const QString& path) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(path)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void set_english_c_locale() {
    std::setlocale(LC_ALL, "");
    // Month names in dates and saved pages follow the interface language, not the system's.
    std::setlocale(LC_TIME, "C");
}

// A system without a Russian UTF-8 locale keeps the English one.
void set_russian_c_locale() {
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            return;
        }
    }
    set_english_c_locale();
}

}  // namespace

QStringList russian_library_folders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program,
            QDir::cleanPath(program + QStringLiteral("/../" TB_INSTALL_LIBDIR "/tagberry"))};
}

bool load_russian(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(kRussianLibrary));
        if (!QFileInfo::exists(path)) {
            continue;
        }
        // Never unloaded: the translators read their texts from the library's resources.
        auto* library = new QLibrary(path, QCoreApplication::instance());
        library->setLoadHints(QLibrary::PreventUnloadHint);
        if (library->load() && install_translation(QString::fromLatin1(kProgramTranslation))) {
            install_translation(QString::fromLatin1(kQtTranslation));
            return true;
        }
        delete library;
    }
    return false;
}

void choose_language(int language) {
    if (language == 1 && load_russian(russian_library_folders())) {
        set_russian_c_locale();
        return;
    }
    set_english_c_locale();
}

}  // namespace tb::app
