// Settings files of any content: whatever loads must save and load again to the same fields.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSandbox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFileText("ravelin.conf", std::string(asText(data, size)));
    FuzzContext fuzz;
    Settings& settings = fuzz.settings;
    Context& context = fuzz.context;
    if (!loadSettings(context)) return 0;
    const Settings loaded = settings;
    saveSettings(context);
    settings = Settings{};
    if (!loadSettings(context) || !(settings == loaded)) {
        std::fprintf(stderr, "settings changed on their way through the file\n");
        std::abort();
    }
    checkNothingWrittenOutside();
    return 0;
}
