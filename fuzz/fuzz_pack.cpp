// Icon packs of any content: a zip read as an import reads it, against a small game. Icons may appear in
// the icons folder and its extra/<atlas>/ folders, and nowhere else.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "image/png_codec.h"
#include "mods/icon_import.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_files.h"

namespace {

ImportTarget& target() {
    static ImportTarget target;
    return target;
}

bool isIconFile(const std::filesystem::path& path) {
    return path.extension() == ".png";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSandbox();
    resetDirectory("game");
    const AtlasFixture game = AtlasFixture::generate({16, 48, 48, 2, 10, 9, "icon"});
    target().iconDirectory = "icons/";
    for (const AtlasKind& kind : kAtlasKinds) target().game[kind.index].iconDirectory = "game/";
    for (const FixtureIcon& icon : game.icons) {
        target().game[kBattleAtlas.index].names.push_back(icon.name);
        saveImagePng(*grabImage(game.image, icon.x, icon.y, icon.width, icon.height),
                     "game/" + icon.name + ".png");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFileText("pack.zip", std::string(asText(data, size)));
    resetDirectory("icons");
    FuzzContext fuzz;
    importIconPacks({"pack.zip"}, target(), fuzz.context.reporter);
    for (const auto& entry : std::filesystem::recursive_directory_iterator("icons")) {
        const std::filesystem::path relative = entry.path().lexically_relative("icons");
        const bool allowed = entry.is_directory()
                                 ? relative == "extra" || relative.parent_path() == "extra"
                                 : isIconFile(relative) && (relative.parent_path().empty() ||
                                                            relative.parent_path().parent_path() == "extra");
        if (!allowed) {
            std::fprintf(stderr, "unexpected file %s\n", entry.path().c_str());
            std::abort();
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name != "icons" && name != "game" && name != "pack.zip") {
            std::fprintf(stderr, "unexpected file %s\n", entry.path().c_str());
            std::abort();
        }
    }
    checkNothingWrittenOutside();
    return 0;
}
