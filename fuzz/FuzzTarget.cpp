// One libFuzzer program per entry point; the build names the entry point.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzEntries.h"

namespace {

const fuzz::Target& Chosen() {
    static const fuzz::Target* target = [] {
        const fuzz::Target* found = fuzz::FindTarget(KESTREL_FUZZ_TARGET);
        if (!found) {
            std::fprintf(stderr, "no fuzz target named %s\n", KESTREL_FUZZ_TARGET);
            std::abort();
        }
        return found;
    }();
    return *target;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Chosen().Run(fuzz::Bytes(data, size));
    return 0;
}
