#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include "support/test_support.h"

namespace {

struct Entry {
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty
};

// Messages of a .ts file by context, source text and disambiguation.
using Messages = QMap<QString, Entry>;

QString key(const QString& context, const QString& source, const QString& comment) {
    return context + QLatin1Char('|') + source + QLatin1Char('|') + comment;
}

Messages read_ts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    Messages messages;
    QXmlStreamReader xml(&file);
    QString context, source, comment;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
                messages.insert(key(context, source, comment), entry);
            }
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("message")) {
            source.clear();
            comment.clear();
            entry = {};
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            entry.translation = xml.readElementText();
        }
    }
    return messages;
}

// Texts that read the same in Russian: the product's name, "n/a", and texts that are nothing
// but an address or a number format.
bool may_stay_english(const QString& source) {
    static const QStringList kSame = {
        QStringLiteral("Tagberry 2.0"),
        QStringLiteral("Tagberry 2.0\n\ntagberry\n\n\ntagberry.Document\ntagberry.Document"),
        QStringLiteral("n/a")};
    static const QRegularExpression kAddressOrFormat(
        QStringLiteral(R"(^(\w+://\S+|[%\d\s.,:;#+-]*)$)"));
    return kSame.contains(source) || kAddressOrFormat.match(source).hasMatch();
}

}  // namespace

class TranslationCompletenessTest : public QObject {
    Q_OBJECT

private slots:
    void allowListIsNarrow() {
        QVERIFY(may_stay_english(QStringLiteral("https://www.sqlite.org/")));
        QVERIFY(may_stay_english(QStringLiteral("%1, %2")));
        QVERIFY(may_stay_english(QStringLiteral("n/a")));
        QVERIFY(!may_stay_english(QStringLiteral("Qt")));
        QVERIFY(!may_stay_english(QStringLiteral("Tagberry 2.0 beta")));
        QVERIFY(!may_stay_english(QStringLiteral("See https://example.org/")));
    }

    void everySourceTextHasARussianTranslation() {
        tb::test::TempDir dir;
        const QString fresh = QString::fromStdString((dir.path() / "fresh_ru.ts").string());
        QProcess lupdate;
        lupdate.start(QStringLiteral(TB_UPDATE_TS_SCRIPT), {QStringLiteral(TB_LUPDATE), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);

        const Messages sources = read_ts(fresh);
        const Messages committed = read_ts(QStringLiteral(TB_RUSSIAN_TS));
        QVERIFY2(sources.size() > 250, "lupdate found too few texts in the sources");

        QStringList faults;
        for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
            const QString source = it.key().section(QLatin1Char('|'), 1, -2);
            auto found = committed.constFind(it.key());
            if (found == committed.cend()) {
                faults << QStringLiteral("no translation: ") + it.key();
            } else if (!found->type.isEmpty() || found->translation.isEmpty()) {
                faults << QStringLiteral("unfinished: ") + it.key();
            } else if (found->translation == source && !may_stay_english(source)) {
                faults << QStringLiteral("same as the English: ") + it.key();
            }
        }
        for (auto it = committed.cbegin(); it != committed.cend(); ++it) {
            if (!sources.contains(it.key())) {
                faults << QStringLiteral("no longer in the sources: ") + it.key();
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TranslationCompletenessTest)
#include "translation_completeness_test.moc"
