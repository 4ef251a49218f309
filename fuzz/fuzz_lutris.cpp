// A Lutris game configuration of any content: read without fault, either one Wine prefix or a fault, and
// the prefix is valid UTF-8 with "~/" taken to the home directory.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "game/installation_records.h"
#include "platform/text_utilities.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RecordReading reading = lutrisPrefix(asText(data, size), "/home/player/");
    const bool onePrefix =
        reading.entries.size() == 1 && reading.fault.empty() && !reading.entries[0].empty();
    const bool damaged = reading.entries.empty() && !reading.fault.empty();
    if (!onePrefix && !damaged) {
        std::fprintf(stderr, "neither one prefix nor a fault\n");
        std::abort();
    }
    if (onePrefix &&
        (validUtf8(reading.entries[0]) != reading.entries[0] || reading.entries[0].starts_with("~/"))) {
        std::fprintf(stderr, "a prefix not as promised: %s\n", reading.entries[0].c_str());
        std::abort();
    }
    return 0;
}
