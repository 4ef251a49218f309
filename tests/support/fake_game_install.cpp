#include "tests/support/fake_game_install.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/test_files.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string pseudoRandomText(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>('a' + random() % 26);
    return text;
}

// Offset of the local header of the entry with that name.
std::size_t localHeaderOf(const std::vector<std::uint8_t>& zip, const std::string& name) {
    for (std::size_t offset = 0; offset + 30 + name.size() <= zip.size(); ++offset) {
        if (zip[offset] == 'P' && zip[offset + 1] == 'K' && zip[offset + 2] == 3 && zip[offset + 3] == 4 &&
            std::equal(name.begin(), name.end(), zip.begin() + static_cast<long>(offset) + 30)) {
            return offset;
        }
    }
    throw std::runtime_error("entry not found in zip: " + name);
}

}  // namespace

std::vector<std::uint8_t> writeZip(const std::vector<PackageEntry>& entries) {
    std::vector<std::uint8_t> out;
    struct archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_set_bytes_in_last_block(writer, 1);
    archive_write_open(
        writer, &out, nullptr,
        [](struct archive*, void* data, const void* buffer, size_t length) -> la_ssize_t {
            auto* target = static_cast<std::vector<std::uint8_t>*>(data);
            const auto* bytes = static_cast<const std::uint8_t*>(buffer);
            target->insert(target->end(), bytes, bytes + length);
            return static_cast<la_ssize_t>(length);
        },
        nullptr);
    for (const PackageEntry& item : entries) {
        if (item.stored) {
            archive_write_zip_set_compression_store(writer);
        } else {
            archive_write_zip_set_compression_deflate(writer);
        }
        struct archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, item.name.c_str());
        archive_entry_set_size(entry, static_cast<la_int64_t>(item.content.size()));
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_write_header(writer, entry);
        archive_write_data(writer, item.content.data(), item.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    return out;
}

FakeGameInstall::FakeGameInstall(std::filesystem::path directory, const FakeGameOptions& options)
    : directory_(std::move(directory)) {
    std::filesystem::create_directories(directory_ / "res" / "packages");
    writeFileText((directory_ / "WorldOfTanks.exe").string(), "MZ fake game executable");
    if (options.versionInVersionXml) {
        writeFileText(
            (directory_ / "WoTLauncher.cfg").string(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<info>\r\n  <patch_info_urls/>\r\n</info>\r\n");
        writeFileText((directory_ / "version.xml").string(),
                      "<version.xml>\n\t<appname>\t#menu:login/version\t</appname>\n\t<version> v." +
                          options.clientVersion + " #966 </version>\n</version.xml>");
    } else {
        writeFileText((directory_ / "WoTLauncher.cfg").string(),
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<info>\r\n  <client_ver>" +
                          options.clientVersion + "</client_ver>\r\n</info>\r\n");
    }

    const auto orGenerated = [](const std::string& content, unsigned seed) {
        return content.empty() ? pseudoRandomText(3000, seed) : content;
    };
    wanted_ = {{"battleAtlas.png", orGenerated(options.battleAtlasPng, 1)},
               {"battleAtlas.xml", orGenerated(options.battleAtlasXml, 2)},
               {"vehicleMarkerAtlas.png", orGenerated(options.markerAtlasPng, 3)},
               {"vehicleMarkerAtlas.xml", orGenerated(options.markerAtlasXml, 4)},
               {"battleAtlas.dds", options.battleAtlasDds},
               {"vehicleMarkerAtlas.dds", options.markerAtlasDds}};
    if (options.packageParts > 0) {
        writeParts(options);
        return;
    }

    if (options.notAZip) {
        writeFileText(packagePath().string(), "this is not a zip archive");
        return;
    }
    const std::string folder = options.upperCaseFolder ? "GUI/flash/atlases/" : "gui/flash/atlases/";
    std::vector<PackageEntry> entries;
    const auto addOthers = [&](int count, int first) {
        for (int i = 0; i < count; ++i) {
            entries.push_back(
                {"gui/flash/other/file" + std::to_string(first + i) + ".swf",
                 bytesOf(pseudoRandomText(options.otherEntrySize, 100u + static_cast<unsigned>(first + i))),
                 i % 3 == 0});
        }
    };
    addOthers(options.otherEntries / 2, 0);
    // A corrupt stream needs a deflated entry; otherwise the image is stored, as packages store PNGs.
    if (!options.withoutPng)
        entries.push_back(
            {folder + "battleAtlas.png", bytesOf(wanted_[0].second), !options.corruptBattlePngData});
    if (!options.battleAtlasDds.empty())
        entries.push_back({folder + "battleAtlas.dds", bytesOf(wanted_[4].second), true});
    if (!options.omitBattleXml)
        entries.push_back({folder + "battleAtlas.xml", bytesOf(wanted_[1].second), false});
    entries.push_back({"gui/flash/elsewhere/battleAtlas.xml", bytesOf("not the wanted one"), false});
    addOthers(2, 1000);
    if (!options.withoutPng)
        entries.push_back({folder + "vehicleMarkerAtlas.png", bytesOf(wanted_[2].second), false});
    if (!options.markerAtlasDds.empty())
        entries.push_back({folder + "vehicleMarkerAtlas.dds", bytesOf(wanted_[5].second), false});
    entries.push_back({folder + "vehicleMarkerAtlas.xml", bytesOf(wanted_[3].second), false});
    if (options.duplicateBattleXml)
        entries.push_back({folder + "battleAtlas.xml", bytesOf(wanted_[1].second), false});
    addOthers(options.otherEntries - options.otherEntries / 2, 2000);

    std::vector<std::uint8_t> zip = writeZip(entries);
    if (options.damageHeaderBeforeMarker) {
        const std::size_t header = localHeaderOf(zip, "gui/flash/other/file1000.swf");
        zip[header] = 'X';
        zip[header + 1] = 'X';
    }
    if (options.corruptBattlePngData) {
        const std::size_t header = localHeaderOf(zip, folder + "battleAtlas.png");
        const std::size_t data = header + 30 + (zip[header + 26] | zip[header + 27] << 8) +
                                 (zip[header + 28] | zip[header + 29] << 8);
        for (std::size_t i = data + 20; i < data + 60; ++i) zip[i] ^= 0x5A;
    }
    writeFileBytes(packagePath().string(), zip);
}

void FakeGameInstall::writeParts(const FakeGameOptions& options) {
    const std::string folder = "gui/flash/atlases/";
    for (int part = 1; part <= options.packageParts; ++part) {
        std::vector<PackageEntry> entries;
        for (int i = 0; i < options.otherEntries / options.packageParts + 1; ++i) {
            const int number = part * 1000 + i;
            entries.push_back(
                {"gui/flash/other/file" + std::to_string(number) + ".swf",
                 bytesOf(pseudoRandomText(options.otherEntrySize, static_cast<unsigned>(number))),
                 i % 2 == 0});
        }
        const auto add = [&](const std::string& name, const std::string& content, bool stored) {
            if (!content.empty()) entries.push_back({folder + name, bytesOf(content), stored});
        };
        if (part == 2) {
            if (!options.withoutPng) add("vehicleMarkerAtlas.png", content("vehicleMarkerAtlas.png"), true);
            add("vehicleMarkerAtlas.dds", content("vehicleMarkerAtlas.dds"), false);
            add("vehicleMarkerAtlas.xml", content("vehicleMarkerAtlas.xml"), false);
        }
        if (part == 9) {
            if (!options.withoutPng) add("battleAtlas.png", content("battleAtlas.png"), true);
            add("battleAtlas.dds", content("battleAtlas.dds"), true);
            add("battleAtlas.xml", content("battleAtlas.xml"), false);
        }
        // Part 10 sorts before part 9 by name, not by number: its older copy must not be taken.
        if (part == 10) add("battleAtlas.xml", "<root>an older battle atlas</root>", false);
        writeFileBytes(partPath(part).string(), writeZip(entries));
    }
}

std::string FakeGameInstall::text() const {
    return withTrailingSeparator(directory_.string());
}

const std::string& FakeGameInstall::content(const std::string& fileName) const {
    for (const auto& [name, content] : wanted_) {
        if (name == fileName) return content;
    }
    throw std::out_of_range(fileName);
}

void useGeneratedAtlases(FakeGameOptions& options, const AtlasFixture& battle, const AtlasFixture& marker) {
    options.battleAtlasPng = pngFileText(battle.image);
    options.battleAtlasXml = battle.gameXml();
    options.markerAtlasPng = pngFileText(marker.image);
    options.markerAtlasXml = marker.gameXml();
}

FakeGameOptions smallTodaysGameWithAtlases(const std::string& version) {
    FakeGameOptions options;
    options.clientVersion = version;
    options.versionInVersionXml = true;
    options.packageParts = 10;
    options.withoutPng = true;
    const AtlasFixture battle = AtlasFixture::generate({8, 64, 64, 3, 12, 3, "contour"});
    const AtlasFixture marker = AtlasFixture::generate({5, 64, 32, 3, 12, 4, "marker"});
    options.battleAtlasXml = battle.gameXml();
    options.battleAtlasDds = ddsFileText(battle.image, DdsSampleFormat::Bc7);
    options.markerAtlasXml = marker.gameXml();
    options.markerAtlasDds = ddsFileText(marker.image, DdsSampleFormat::Bc3, 7);
    return options;
}

FakeGameOptions smallGameWithAtlases(const std::string& version) {
    FakeGameOptions options;
    options.clientVersion = version;
    useGeneratedAtlases(options, AtlasFixture::generate({8, 64, 64, 3, 12, 3, "contour"}),
                        AtlasFixture::generate({5, 64, 32, 3, 12, 4, "marker"}));
    return options;
}
