// Generates a game-sized installation for the benchmark, and a directory of a few hundred replacement
// contour icons; for today's client also an icon pack made for an older layout (OUTDIR/pack.wotmod).
//   ravelin_bench_fixture OUTDIR             the older client: one gui.pkg, PNG atlases on 2048 x 2048
//   ravelin_bench_fixture OUTDIR XML_DIR     today's client: ten package parts, DDS atlases drawn into the
//                                            rectangles of the real atlas XML files in XML_DIR
// (creates OUTDIR/game and OUTDIR/replacements)

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "game/mod_package.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "platform/deferred_log.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/test_files.h"

namespace {

// The atlas as a pack for an older layout holds it: the game's pixels one column right and two rows down on
// a larger canvas, every other icon with its colours inverted, then DXT5.
void addPackAtlas(const std::string& ddsText, AtlasFixture& layout, const std::filesystem::path& folder,
                  const std::string& name, std::vector<ModPackageFile>& files) {
    const Image game =
        *decodeDds(reinterpret_cast<const std::uint8_t*>(ddsText.data()), ddsText.size()).image;
    Image pack = *createImage(game.width() + 8, game.height() + 8, 32);
    for (std::int32_t y = 0; y < game.height(); ++y)
        std::memcpy(pack.row(y + 2) + 4, game.row(y), static_cast<std::size_t>(game.width()) * 4);
    for (std::size_t i = 0; i < layout.icons.size(); ++i) {
        FixtureIcon& icon = layout.icons[i];
        icon.x += 1;
        icon.y += 2;
        for (std::int32_t y = icon.y; i % 2 == 0 && y < icon.y + icon.height; ++y) {
            for (std::int32_t x = icon.x; x < icon.x + icon.width; ++x) {
                for (int c = 0; c < 3; ++c) pack.row(y)[x * 4 + c] = static_cast<std::uint8_t>(255 - pack.row(y)[x * 4 + c]);
            }
        }
    }
    writeFileText((folder / (name + ".xml")).string(), layout.gameXml());
    saveImageDds(pack, DdsPixelFormat{}, fullMipChainLength(pack.width(), pack.height()),
                 (folder / (name + ".dds")).string());
    for (const char* extension : {".xml", ".dds"})
        files.push_back({"gui/flash/atlases/" + name + extension, (folder / (name + extension)).string()});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR [XML_DIR]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out / "replacements");

    const bool today = argc == 3;
    const std::string xmlDirectory = today ? argv[2] : "";
    const AtlasFixture battle = today ? AtlasFixture::fromGameXml(readFileText(
                                            xmlDirectory + "/WorldofTanks-Code-2.4.0.2-battleAtlas.xml"))
                                      : AtlasFixture::battleSized();
    const AtlasFixture marker =
        today ? AtlasFixture::fromGameXml(
                    readFileText(xmlDirectory + "/WorldofTanks-Code-2.4.0.2-vehicleMarkerAtlas.xml"), 10)
              : AtlasFixture::markerSized();
    FakeGameOptions options;
    if (today) {
        options.packageParts = 10;
        options.withoutPng = true;
        options.versionInVersionXml = true;
        options.clientVersion = "2.4.0.2";
        options.battleAtlasXml = battle.gameXml();
        options.battleAtlasDds = ddsFileText(battle.image, DdsSampleFormat::Bc3, 13);
        options.markerAtlasXml = marker.gameXml();
        options.markerAtlasDds = ddsFileText(marker.image, DdsSampleFormat::Bc7);
    } else {
        useGeneratedAtlases(options, battle, marker);
    }
    options.otherEntries = 4000;
    options.otherEntrySize = 8000;
    FakeGameInstall game(out / "game", options);
    // The drawn battle atlas before block compression, for comparing encoders.
    if (today) saveImagePng(battle.image, (out / "battleAtlas-source.png").string());
    if (today) {
        std::filesystem::create_directories(out / "pack-files");
        std::vector<ModPackageFile> files;
        AtlasFixture battleLayout{*createImage(1, 1, 32), battle.icons};
        AtlasFixture markerLayout{*createImage(1, 1, 32), marker.icons};
        addPackAtlas(options.battleAtlasDds, battleLayout, out / "pack-files", "battleAtlas", files);
        addPackAtlas(options.markerAtlasDds, markerLayout, out / "pack-files", "vehicleMarkerAtlas", files);
        DeferredLog ignored;
        writeModPackage((out / "pack.wotmod").string(), {"bench.icons", "1.0", "Icons", ""}, files, ignored);
    }

    // Every fifth contour icon gets a replacement of its own size or a little wider, as modders draw them.
    int replacements = 0;
    for (std::size_t i = 0; i < battle.icons.size(); i += 5) {
        const FixtureIcon& icon = battle.icons[i];
        if (icon.width <= 0 || icon.height <= 0) continue;
        const Image drawn = AtlasFixture::drawIcon(icon.width + static_cast<std::int32_t>(i % 3), icon.height,
                                                   static_cast<unsigned>(90000 + i));
        saveImagePng(drawn, (out / "replacements" / (icon.name + ".png")).string());
        ++replacements;
    }
    std::uintmax_t packageBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out / "game" / "res" / "packages"))
        packageBytes += entry.file_size();
    std::printf("battle icons %zu on %dx%d, marker icons %zu, replacements %d, packages %ju bytes\n",
                battle.icons.size(), battle.image.width(), battle.image.height(), marker.icons.size(),
                replacements, packageBytes);
    return 0;
}
