// Game packages of any content: only the wanted atlas files may appear, and only in "originalAtlases".

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/game_atlases.h"
#include "fuzz/fuzz_sandbox.h"
#include "game/package_unpacker.h"
#include "platform/path_separator.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::create_directories(fuzzSandbox() / "game" / "res" / "packages");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path game = fuzzSandbox() / "game";
    writeFileText((game / "res" / "packages" / "gui.pkg").string(), std::string(asText(data, size)));
    resetDirectory("originalAtlases");
    FuzzContext fuzz;
    const std::vector<WantedAtlas> wanted = originalAtlasFiles();
    unpackOriginalAtlases(game.string() + kPathSeparator, std::string("originalAtlases") + kPathSeparator,
                          wanted, fuzz.context.reporter);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().filename() != "originalAtlases") {
            std::fprintf(stderr, "unexpected file %s\n", entry.path().c_str());
            std::abort();
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator("originalAtlases")) {
        const std::string name = entry.path().filename().string();
        const auto isNamed = [&](const WantedFile& file) { return file.fileName == name; };
        if (!std::any_of(wanted.begin(), wanted.end(), [&](const WantedAtlas& atlas) {
                return isNamed(atlas.xml) || std::any_of(atlas.images.begin(), atlas.images.end(), isNamed);
            })) {
            std::fprintf(stderr, "unexpected file %s\n", name.c_str());
            std::abort();
        }
    }
    checkNothingWrittenOutside();
    return 0;
}
