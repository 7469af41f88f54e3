#pragma once

#include <cstdint>
#include <string>

namespace tb {

// Local time formatted by strftime rules.
std::string format_now(const char* format);
std::string format_local_time(std::int64_t seconds, const char* format);

}  // namespace tb
