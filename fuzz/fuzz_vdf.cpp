// Steam's library list and app manifest of any content: read without fault, and every library listed
// is a text the file held.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "game/installation_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = asText(data, size);
    const RecordReading reading = steamLibraryFolders(text);
    if (!reading.fault.empty() && !reading.entries.empty()) {
        std::fprintf(stderr, "a damaged library list listed libraries\n");
        std::abort();
    }
    if (steamLastPlayed(text) < 0) {
        std::fprintf(stderr, "a negative time\n");
        std::abort();
    }
    return 0;
}
