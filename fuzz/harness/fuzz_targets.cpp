#include "harness/fuzz_targets.h"

#include <array>

namespace tb::fuzz {

std::span<const FuzzTarget> fuzz_targets() {
    static constexpr std::array kTargets{
        FuzzTarget{"bookmark_file", fuzz_bookmark_file},
        FuzzTarget{"shortcut_ini", fuzz_shortcut_ini},
        FuzzTarget{"legacy_import", fuzz_legacy_import},
        FuzzTarget{"html_harvest", fuzz_html_harvest},
        FuzzTarget{"feed_parser", fuzz_feed_parser},
        FuzzTarget{"search_like", fuzz_search_like},
        FuzzTarget{"text_codecs", fuzz_text_codecs},
    };
    return kTargets;
}

}  // namespace tb::fuzz
