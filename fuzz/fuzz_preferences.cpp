// A Game Center's preferences.xml (and a game_info.xml, and a Lutris configuration) of any content: read
// without fault; a damaged file lists nothing.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "game/installation_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = asText(data, size);
    const RecordReading reading = gameCenterGameFolders(text);
    if (!reading.fault.empty() && !reading.entries.empty()) {
        std::fprintf(stderr, "a damaged preferences.xml listed games\n");
        std::abort();
    }
    for (const std::string& folder : reading.entries) static_cast<void>(pathInWinePrefix("/prefix", folder));
    static_cast<void>(realmOfGameInfo(text));
    static_cast<void>(realmOfLauncherConfig(text));
    static_cast<void>(lutrisPrefix(text, "/home/"));
    return 0;
}
