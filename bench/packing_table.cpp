// Ravelin's packer on the rectangles of real atlas XML files: canvas, occupancy (icon pixels over canvas
// pixels) and time, one line per file, in the form of the benchmark's packing table.
//   ravelin_packing_table XML...

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_packer.h"

namespace {

std::vector<IconSize> rectangleSizes(const std::string& path) {
    std::ifstream file(path);
    std::vector<IconSize> sizes;
    AtlasDescriptorReader reader;
    for (std::string line; std::getline(file, line);) {
        if (const auto found = reader.readLine(line); found.entry)
            sizes.push_back({static_cast<std::int32_t>(found.entry->width),
                             static_cast<std::int32_t>(found.entry->height)});
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::vector<IconSize> sizes = rectangleSizes(argv[i]);
        std::int64_t iconArea = 0;
        for (const IconSize& size : sizes) iconArea += std::int64_t{size.width} * size.height;
        // The best of three, the machine being shared.
        double milliseconds = 1e9;
        std::optional<PackedAtlas> packed;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            packed = packAtlas(sizes);
            milliseconds = std::min(
                milliseconds,
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        if (!packed) {
            std::printf("| %-58s | does not fit: %s |\n", "Ravelin", argv[i]);
            continue;
        }
        std::printf("| %-58s | %5zu | %5d x %-5d | %6.2f %% | %6.0f |\n", "Ravelin", sizes.size(),
                    packed->width, packed->height,
                    100.0 * static_cast<double>(iconArea) / (double(packed->width) * packed->height),
                    milliseconds);
    }
    return 0;
}
