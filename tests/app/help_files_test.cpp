#include <QFile>
#include <QtTest>

#include "app/desktop_launch.h"

using namespace tb::app;

// The Help command opens these files; a program run from its build folder finds them in the
// source tree.
class HelpFilesTest : public QObject {
    Q_OBJECT

private slots:
    void bothGuidesAreFoundAndCoverTheSameSections() {
        QStringList anchors;
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
            const QString path = find_help_file(language, help_folders());
            QVERIFY2(!path.isEmpty(), qPrintable(language));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY(text.contains(QStringLiteral("<html lang=\"%1\">").arg(language)));
            QStringList ids;
            static const QRegularExpression id_pattern(QStringLiteral("<h2 id=\"(\\w+)\">"));
            for (const auto& match : id_pattern.globalMatch(text)) {
                ids << match.captured(1);
                QVERIFY2(text.contains(QStringLiteral("href=\"#%1\"").arg(match.captured(1))),
                         qPrintable(match.captured(1)));
            }
            QVERIFY(ids.contains(QStringLiteral("drop")) && ids.contains(QStringLiteral("tray")));
            if (anchors.isEmpty()) {
                anchors = ids;
            } else {
                QCOMPARE(ids, anchors);
            }
        }
        QVERIFY(find_help_file(QStringLiteral("xx"), help_folders()).isEmpty());
    }
};

QTEST_MAIN(HelpFilesTest)
#include "help_files_test.moc"
