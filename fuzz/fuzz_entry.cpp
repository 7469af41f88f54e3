// The libFuzzer entry of one harness; TB_FUZZ_BODY names the harness body it runs.
#include "harness/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tb::fuzz::TB_FUZZ_BODY(data, size);
    return 0;
}
