#pragma once

#include <QSettings>

#include "platform/settings.h"

namespace tb::app {

// The settings as QSettings keeps them: organisation "Quillmont", application "Tagberry 2.0",
// group "Settings", in the native store (an INI file under ~/.config on Linux, the registry on
// Windows). Values reach the store when the object is destroyed or sync() is called.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();

    std::optional<int> read_int(std::string_view name) override;
    std::optional<std::string> read_text(std::string_view name) override;
    void write_int(std::string_view name, int value) override;
    void write_text(std::string_view name, std::string_view value) override;

    void sync() { settings_.sync(); }
    QString file_name() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

}  // namespace tb::app
