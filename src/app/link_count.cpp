#include "app/link_count.h"

#include <QCoreApplication>
#include <QLocale>

namespace tb::app {

namespace {

enum class PluralForm { kOne, kFew, kMany };

// English has one and many; Russian tells one (21), few (2-4, 22-24) and many (5-20, 25).
PluralForm plural_form(long long count, bool russian) {
    if (!russian) {
        return count == 1 ? PluralForm::kOne : PluralForm::kMany;
    }
    const long long tens = count % 100;
    const long long units = count % 10;
    if (units == 1 && tens != 11) {
        return PluralForm::kOne;
    }
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) {
        return PluralForm::kFew;
    }
    return PluralForm::kMany;
}

QString form_text(PluralForm form) {
    switch (form) {
        case PluralForm::kOne:
            return QCoreApplication::translate("LinkCount", "%1 link");
        case PluralForm::kFew:
            return QCoreApplication::translate("LinkCount", "%1 links", "2 to 4");
        case PluralForm::kMany:
            break;
    }
    return QCoreApplication::translate("LinkCount", "%1 links", "5 and more");
}

}  // namespace

QString link_count_text(long long count) {
    // The translation names the locale whose digit grouping the numbers use.
    const QLocale locale(
        QCoreApplication::translate("LinkCount", "en_US", "locale of the numbers"));
    const bool russian = locale.language() == QLocale::Russian;
    return form_text(plural_form(count, russian)).arg(locale.toString(count));
}

}  // namespace tb::app
