// The game's paths.xml of any content: read without fault, and a folder it names is used only when it is
// a plain folder name that cannot lead out of the game's mod folders.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "game/mod_folders.h"

namespace {

void checkFolder(const std::string& found) {
    const std::optional<std::string> name = gameFolderName(found);
    if (!name) return;
    if (name->empty() || name->find_first_of("/\\:") != std::string::npos ||
        name->find("..") != std::string::npos || name->front() == ' ' || name->back() == ' ') {
        std::fprintf(stderr, "an unsafe folder passed: '%s'\n", name->c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = asText(data, size);
    const ModFolders folders = modFoldersInPathsXml(text);
    checkFolder(folders.looseFiles);
    checkFolder(folders.packages);
    checkFolder(std::string(text.substr(0, 64)));
    return 0;
}
