// Atlas XML of any content, taken apart against a small generated atlas image.

#include <algorithm>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_extraction.h"
#include "fuzz/fuzz_sandbox.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSandbox();
    resetDirectory("originalAtlases");
    const AtlasFixture fixture = AtlasFixture::generate({16, 48, 48, 2, 10, 9, "icon"});
    saveImagePng(fixture.image, "originalAtlases/battleAtlas.png");
    return 0;
}

// Rectangles of up to a gigabyte are valid and are cut and compressed in full; they say nothing new about
// the reader but would slow the search down a thousandfold, so such inputs are passed over.
bool cutsHugeIcons(std::string_view text) {
    AtlasDescriptorReader reader;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (const auto entry = reader.readLine(text.substr(start, end - start)).entry) {
            if (entry->width > 4096 || entry->height > 4096) return true;
        }
        start = end + 1;
    }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (cutsHugeIcons(asText(data, size))) return -1;
    writeFileText("originalAtlases/battleAtlas.xml", std::string(asText(data, size)));
    resetDirectory("defaultBattleImages");
    FuzzContext fuzz;
    const std::string root = workingDirectoryText();
    extractAtlasIcons(kBattleAtlas, root + "originalAtlases" + kPathSeparator, root, fuzz.context.reporter);
    checkNothingWrittenOutside();
    return 0;
}
