#pragma once

#include <string>
#include <string_view>

namespace tb {

// Space \ / ; * " < > become "_".
std::string safe_file_name(std::string_view text);

}  // namespace tb
