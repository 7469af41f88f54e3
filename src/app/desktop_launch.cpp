#include "app/desktop_launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tb::app {

QUrl url_for_address(const QString& address) {
    const QString text = address.trimmed();
    const QUrl strict(text, QUrl::StrictMode);
    if (strict.isValid() && !strict.scheme().isEmpty()) {
        return strict;
    }
    return QUrl::fromUserInput(text);
}

bool opening_needs_confirmation(const QUrl& url, bool feed_item) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        return false;
    }
    if (feed_item) {
        return true;
    }
    return scheme != QLatin1String("ftp") && scheme != QLatin1String("mailto") &&
           scheme != QLatin1String("file");
}

bool address_is_safe_argument(const QString& address) {
    return !address.isEmpty() && !address.startsWith(u'-');
}

QStringList help_folders() {
    const QString exe_dir = QCoreApplication::applicationDirPath();
    QStringList folders{exe_dir + QStringLiteral("/help"),
                        exe_dir + QStringLiteral("/../share/tagberry/help")};
#ifdef TB_SOURCE_HELP_DIR
    folders << QStringLiteral(TB_SOURCE_HELP_DIR);
#endif
    return folders;
}

QString find_help_file(const QString& language, const QStringList& folders) {
    const QString name = QStringLiteral("readme_%1.html").arg(language);
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile() && file.isReadable()) {
            return file.canonicalFilePath();
        }
    }
    return {};
}

}  // namespace tb::app
