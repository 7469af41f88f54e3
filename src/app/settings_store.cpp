#include "app/settings_store.h"

namespace tb::app {

namespace {

QString to_qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QSettingsStore::QSettingsStore()
    : settings_(QStringLiteral("Quillmont"), QStringLiteral("Tagberry 2.0")) {
    settings_.beginGroup(QStringLiteral("Settings"));
}

std::optional<int> QSettingsStore::read_int(std::string_view name) {
    const QVariant value = settings_.value(to_qstring(name));
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<std::string> QSettingsStore::read_text(std::string_view name) {
    const QVariant value = settings_.value(to_qstring(name));
    // A list (an unquoted comma in the file) is no text, as the command-line tool reads it too.
    if (!value.isValid() || value.typeId() == QMetaType::QStringList ||
        !value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

void QSettingsStore::write_int(std::string_view name, int value) {
    settings_.setValue(to_qstring(name), value);
}

void QSettingsStore::write_text(std::string_view name, std::string_view value) {
    settings_.setValue(to_qstring(name), to_qstring(value));
}

}  // namespace tb::app
