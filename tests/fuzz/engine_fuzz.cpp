// libFuzzer entry: every input is a sequence of engine calls.
#include <cstddef>
#include <cstdint>

#include "call_sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    relvane_fuzz::run_calls(data, size);
    return 0;
}
