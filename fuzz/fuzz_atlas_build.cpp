// Catalogues of any content, built into an atlas from a few small icons (two of them at fixed spots,
// one broken).

#include "atlas/atlas_kind.h"
#include "atlas/atlas_writer.h"
#include "fuzz/fuzz_sandbox.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSandbox();
    resetDirectory("defaultBattleImages");
    resetDirectory("newTankImages");
    const std::pair<const char*, std::pair<int, int>> icons[] = {{"a", {6, 4}},
                                                                 {"b", {3, 9}},
                                                                 {"c", {12, 2}},
                                                                 {"CameraWithDirection", {4, 20}},
                                                                 {"ShotSectorLine", {2, 16}}};
    unsigned seed = 1;
    for (const auto& [name, size] : icons) {
        saveImagePng(AtlasFixture::drawIcon(size.first, size.second, seed++),
                     std::string("defaultBattleImages/") + name + ".png");
    }
    saveImagePng(AtlasFixture::drawIcon(5, 5, 77), "newTankImages/a.png");
    writeFileText("defaultBattleImages/broken.png", "\x89PNG\r\n\x1a\n broken");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFileText("battleatlas.dat", std::string(asText(data, size)));
    FuzzContext fuzz;
    const std::string root = workingDirectoryText();
    buildAtlas(kBattleAtlas,
               {root, root + "originalAtlases" + kPathSeparator, root + "newTankImages" + kPathSeparator,
                root + "defaultBattleImages" + kPathSeparator},
               fuzz.context.reporter);
    checkNothingWrittenOutside();
    return 0;
}
