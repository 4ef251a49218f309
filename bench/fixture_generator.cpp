// Generates a game-sized installation for the benchmark: a gui.pkg with the two atlases among thousands
// of other entries, and a directory of a few hundred replacement contour icons.
// Usage: ravelin_bench_fixture OUTDIR   (creates OUTDIR/game and OUTDIR/replacements)

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/image.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out / "replacements");

    const AtlasFixture battle = AtlasFixture::battleSized();
    const AtlasFixture marker = AtlasFixture::markerSized();
    FakeGameOptions options;
    useGeneratedAtlases(options, battle, marker);
    options.otherEntries = 4000;
    options.otherEntrySize = 8000;
    FakeGameInstall game(out / "game", options);

    // Every fifth contour icon gets a replacement of its own size or a little wider, as modders draw them.
    int replacements = 0;
    for (std::size_t i = 0; i < battle.icons.size(); i += 5) {
        const FixtureIcon& icon = battle.icons[i];
        const Image drawn = AtlasFixture::drawIcon(icon.width + static_cast<std::int32_t>(i % 3), icon.height,
                                                   static_cast<unsigned>(90000 + i));
        saveImagePng(drawn, (out / "replacements" / (icon.name + ".png")).string());
        ++replacements;
    }
    std::printf("battle icons %zu, marker icons %zu, replacements %d, package %ju bytes\n",
                battle.icons.size(), marker.icons.size(), replacements,
                static_cast<std::uintmax_t>(std::filesystem::file_size(game.packagePath())));
    return 0;
}
