// How well a built atlas keeps the default icons it drew: each icon of the atlas XML without a replacement
// is compared with the icon as it was cut from the game (PSNR over its visible pixels).
//   ravelin_repacked_icons WORKDIR REPLACEMENTS   (WORKDIR: a ravelin-cli working directory after build)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "atlas/atlas_descriptor_reader.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "platform/file_io.h"

namespace {

struct SquaredError {
    double squares = 0;
    double samples = 0;
    double psnr() const { return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * samples / squares); }
};

// The icon's visible pixels against the same rectangle of the atlas.
SquaredError iconError(const Image& icon, const Image& atlas, const AtlasDescriptorEntry& place) {
    SquaredError error;
    for (std::int32_t y = 0; y < icon.height(); ++y) {
        for (std::int32_t x = 0; x < icon.width(); ++x) {
            const std::uint8_t* a = icon.row(y) + x * 4;
            const std::uint8_t* b = atlas.row(place.y + y) + (place.x + x) * 4;
            if (a[3] == 0) continue;
            for (int c = 0; c < 4; ++c) error.squares += (a[c] - b[c]) * (a[c] - b[c]);
            error.samples += 4;
        }
    }
    return error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WORKDIR REPLACEMENTS\n", argv[0]);
        return 2;
    }
    const std::filesystem::path work = argv[1];
    const std::filesystem::path replacements = argv[2];
    const DdsDecoding atlas = loadDds((work / "battleAtlas.dds").string());
    const auto xml = readWholeFile((work / "battleAtlas.xml").string());
    if (!atlas.image || !xml) return 1;

    SquaredError all;
    double worst = 99.0;
    std::string worstName;
    int icons = 0;
    AtlasDescriptorReader reader;
    std::istringstream lines(std::string(xml->begin(), xml->end()));
    for (std::string line; std::getline(lines, line);) {
        const auto entry = reader.readLine(line).entry;
        if (!entry || std::filesystem::exists(replacements / (entry->name + ".png"))) continue;
        const auto icon = loadImage((work / "defaultBattleImages" / (entry->name + ".png")).string());
        if (!icon || icon->depth() != 32 || icon->width() != entry->width ||
            icon->height() != entry->height || entry->x < 0 || entry->y < 0 ||
            entry->x + entry->width > atlas.image->width() ||
            entry->y + entry->height > atlas.image->height())
            return 1;
        const SquaredError error = iconError(*icon, *atlas.image, *entry);
        all.squares += error.squares;
        all.samples += error.samples;
        if (error.samples > 0 && error.psnr() < worst) {
            worst = error.psnr();
            worstName = entry->name;
        }
        ++icons;
    }
    std::printf("default icons %d, %.2f dB over their visible pixels, worst icon %.2f dB (%s)\n", icons,
                all.psnr(), worst, worstName.c_str());
    return 0;
}
