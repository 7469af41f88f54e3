#include "exchange/shortcut_import.h"
#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "harness/import_sandbox.h"
#include "platform/ini_reader.h"

namespace tb::fuzz {

namespace {

constexpr std::string_view kSection = "InternetShortcut";
constexpr std::string_view kKey = "URL";

void check_profile_dialect(std::string_view text) {
    IniFile file(text, IniDialect::Profile);
    std::optional<std::string> url = file.value(kSection, kKey);
    require(file.value("iNTERNETsHORTCUT", "url") == url, "names compare with case");
    require(internet_shortcut_url(text) == url.value_or(""),
            "the shortcut address differs from the INI value");
    if (url) {
        require(url->find_first_of("\r\n") == std::string::npos, "a value spans lines", *url);
    }
}

void check_qsettings_dialect(std::string_view text) {
    IniFile file(text, IniDialect::QSettings);
    file.value("General", "key");
    file.value(kSection, kKey);
    const std::string key = qsettings_unescape_key(text);
    if (text.find_first_of("%\\") == std::string_view::npos) {
        require(key == text, "a key without escapes changed", key);
    }
    qsettings_unescape_value(text);
}

}  // namespace

// The input is a shortcut file: read as both INI dialects, then imported as the only file of a
// disk folder, which must give exactly one link.
void fuzz_shortcut_ini(const std::uint8_t* data, std::size_t size) {
    std::string_view text = input_text(data, size);
    check_profile_dialect(text);
    check_qsettings_dialect(text);

    ImportSandbox sandbox;
    write_bytes(sandbox.input_folder() / "Shortcut.url", text);
    ImportRequest request;
    request.source = ImportSource::Shortcuts;
    request.path = sandbox.input_folder();
    ImportResult result = sandbox.import_checked(request);
    require(result.status == ImportStatus::Done && result.links == 1,
            "a shortcut file did not give one link");
}

}  // namespace tb::fuzz
