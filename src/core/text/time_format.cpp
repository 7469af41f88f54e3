#include "text/time_format.h"

#include <ctime>

namespace tb {

std::string format_now(const char* format) {
    return format_local_time(static_cast<std::int64_t>(std::time(nullptr)), format);
}

std::string format_local_time(std::int64_t seconds, const char* format) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr || format == nullptr || *format == '\0') {
        return {};
    }
    // strftime returns 0 both for a too small buffer and for an empty result, so the buffer
    // grows only up to a bound.
    for (size_t size = 128; size <= 64 * 1024; size *= 4) {
        std::string out(size, '\0');
        size_t length = std::strftime(out.data(), out.size(), format, &local);
        if (length > 0) {
            out.resize(length);
            return out;
        }
    }
    return {};
}

}  // namespace tb
