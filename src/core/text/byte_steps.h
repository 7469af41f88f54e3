#pragma once

#include <cstddef>
#include <functional>

namespace tb {

// Called between the pieces of a long piece of work with the bytes done and the bytes in all;
// false stops the work.
using ByteSteps = std::function<bool(std::size_t done, std::size_t total)>;

}  // namespace tb
