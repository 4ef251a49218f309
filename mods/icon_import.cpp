#include "mods/icon_import.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/extra_icons.h"
#include "atlas/icon_extraction.h"
#include "game/mod_directory.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "mods/icon_likeness.h"
#include "mods/pack_reader.h"
#include "platform/deferred_log.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/parallel_work.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

using NameSet = std::unordered_set<std::string>;

std::string folded(std::string_view name) {
    std::string key(name);
    if (kFileNamesIgnoreCase) {
        for (char& c : key) c = foldAsciiCase(c);
    }
    return key;
}

// An icon name that makes one file directly in the folder.
bool plainFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != ".." &&
           fileSystemTakesName(name + ".png");
}

// Passes lines on with the pack's file they concern.
class FileNamingReporter : public Reporter {
public:
    FileNamingReporter(Reporter& reporter, const std::string& file) : reporter_(reporter), file_(file) {}
    void logInfo(std::string_view text) override { reporter_.logInfo(std::string(text) + ", in " + file_); }
    void logError(std::string_view text) override {
        reporter_.logError(englishText("{reason}, in {file}", {{"reason", text}, {"file", file_}}));
    }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

private:
    Reporter& reporter_;
    const std::string& file_;
};

// One icon of a pack on its way to the folder, made on any thread.
struct IconDecision {
    std::string name;
    bool usable = false;  // cut or read; else the reason is in the log
    bool known = false;   // today's game has the name
    bool equal = false;
    std::optional<std::vector<std::uint8_t>> png;  // what is written, when it is written
    DeferredLog log;
};

// The state of one import: the names given so far and where the files go.
class IconImport {
public:
    IconImport(const ImportTarget& target, Reporter& reporter) : target_(target), reporter_(reporter) {
        for (const AtlasKind& kind : kAtlasKinds)
            gameNames_[kind.index] =
                NameSet(target.game[kind.index].names.begin(), target.game[kind.index].names.end());
    }

    void importAtlas(const PackAtlasFiles& files, ImportOutcome& outcome);
    void importLooseIcons(const std::string& source, const std::vector<PackLooseIconFile>& icons,
                          ImportOutcome& outcome);
    // After each pack: the names it left to the game are decided for the packs after it.
    void finishPack() {
        given_.insert(equalInThisPack_.begin(), equalInThisPack_.end());
        equalInThisPack_.clear();
    }

private:
    std::optional<Image> gameIcon(const AtlasKind& kind, const std::string& name) const {
        return loadImage(target_.game[kind.index].iconDirectory + name + ".png");
    }
    const AtlasKind* kindOfNames(const std::vector<AtlasDescriptorEntry>& entries) const;
    // Writes (or keeps) one decided icon; counts it in part.
    void place(IconDecision& icon, const std::string& directory, PackPartImport& part);
    void finish(PackPartImport& part, ImportOutcome& outcome);

    const ImportTarget& target_;
    Reporter& reporter_;
    std::array<NameSet, kAtlasKindCount> gameNames_;
    NameSet given_;            // destination files this import decided, folded as the file system folds names
    NameSet equalInThisPack_;  // names the pack being imported has as the game has them
    NameSet created_;          // folders made or found there
};

const AtlasKind* IconImport::kindOfNames(const std::vector<AtlasDescriptorEntry>& entries) const {
    const AtlasKind* best = nullptr;
    std::size_t bestShared = 0;
    for (const AtlasKind& kind : kAtlasKinds) {
        const auto shared =
            static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), [&](const auto& entry) {
                return gameNames_[kind.index].count(entry.name) > 0;
            }));
        if (shared > bestShared) {
            best = &kind;
            bestShared = shared;
        }
    }
    return best;
}

void IconImport::place(IconDecision& icon, const std::string& directory, PackPartImport& part) {
    const std::string path = directory + icon.name + ".png";
    const std::string key = folded(path);
    if (given_.count(key)) {
        ++part.earlier;
        return;
    }
    if (icon.equal) ++part.equal;
    if (icon.equal && !target_.all) {
        // The game's icon stands for the name against later packs, but not against this pack's other
        // atlas: one replacement file serves both atlases, and the other atlas's icon may be the pack's own.
        equalInThisPack_.insert(key);
        return;
    }
    given_.insert(key);
    if (!icon.png) {
        ++part.failed;
        return;
    }
    if (fileSize(path) >= 0) {
        if (fileHoldsBytes(path, *icon.png)) {
            ++part.imported;
            return;
        }
        if (!target_.replace) {
            part.kept.push_back(icon.name);
            return;
        }
    }
    if (!created_.count(directory)) {
        if (!createModDirectory(directory)) {
            reporter_.logError(englishText("Can't create the folder: {folder}", {{"folder", directory}}));
            ++part.failed;
            return;
        }
        created_.insert(directory);
    }
    std::optional<OutputFile> file = OutputFile::open(path, OutputFile::Mode::Replace);
    if (file) file->write(icon.png->data(), icon.png->size());
    if (!file || !file->finish()) {
        reporter_.logError(englishText("Can't save icon: {file}", {{"file", path}}));
        ++part.failed;
        return;
    }
    ++part.imported;
}

void IconImport::finish(PackPartImport& part, ImportOutcome& outcome) {
    reporter_.closeProgress();
    outcome.parts.push_back(std::move(part));
}

void IconImport::importAtlas(const PackAtlasFiles& files, ImportOutcome& outcome) {
    const std::vector<AtlasDescriptorEntry> entries = atlasEntriesOfText(files.xml);
    PackPartImport part;
    part.source = files.xmlShownName;
    part.kind = files.kind ? files.kind : kindOfNames(entries);
    if (!part.kind) {
        reporter_.logError(
            englishText("Can't tell which atlas this is, none of its names is the game's: {file}",
                        {{"file", files.xmlShownName}}));
        return;
    }
    if (entries.empty()) {
        reporter_.logError(englishText("No icons found in {file}", {{"file", files.xmlShownName}}));
        return;
    }
    std::optional<Image> atlas;
    std::string fault = englishText("not a PNG Ravelin can read");
    if (files.dds) {
        DdsDecoding decoding = decodeDds(files.image.data(), files.image.size());
        atlas = std::move(decoding.image);
        fault = decoding.fault;
    } else {
        atlas = decodePng(files.image.data(), files.image.size());
    }
    if (!atlas) {
        reporter_.logError(englishText("Unsupported atlas image: {file} ({reason})",
                                       {{"file", files.imageShownName}, {"reason", fault}}));
        return;
    }
    const AtlasKind& kind = *part.kind;
    reporter_.logInfo("Importing " + std::string(kind.atlasName) + " from " + files.xmlShownName + ": " +
                      std::to_string(entries.size()) + " icons on " + std::to_string(atlas->width()) + "x" +
                      std::to_string(atlas->height()));
    reporter_.openProgress(localized("Import {atlas} icons", {{"atlas", kind.atlasName}}));
    const NameSet& gameNames = gameNames_[kind.index];
    const std::string extraDirectory = extraIconDirectory(target_.iconDirectory, kind);
    NameSet packNames;
    part.icons = entries.size();
    produceInOrder<IconDecision>(
        entries.size(), 256,
        [&](std::size_t i) {
            const AtlasDescriptorEntry& entry = entries[i];
            IconDecision icon;
            icon.name = entry.name;
            FileNamingReporter log(icon.log, files.xmlShownName);
            if (!plainFileName(entry.name)) {
                log.logError(
                    englishText("Can't import icon: {file} (not a file name)", {{"file", entry.name}}));
                return icon;
            }
            const std::optional<Image> cut = cutAtlasIcon(*atlas, entry, log);
            if (!cut) return icon;
            icon.usable = true;
            icon.known = gameNames.count(entry.name) > 0;
            if (icon.known) {
                const std::optional<Image> game = gameIcon(kind, entry.name);
                icon.equal = game && looksLikeGameIcon(
                                         {&*atlas, static_cast<std::int32_t>(entry.x),
                                          static_cast<std::int32_t>(entry.y), cut->width(), cut->height()},
                                         *game);
            }
            if (!icon.equal || target_.all) icon.png = encodePng(*cut);
            return icon;
        },
        [&](std::size_t i, IconDecision&& icon) {
            reporter_.setProgressValue(progressBarValue(100.0 * static_cast<double>(i) / entries.size()));
            icon.log.replay(reporter_);
            if (!icon.usable) {
                ++part.failed;
                return;
            }
            if (!packNames.insert(icon.name).second) return;  // a second entry of the same name is not used
            if (!icon.known) part.unknownNames.push_back(icon.name);
            place(icon, icon.known ? target_.iconDirectory : extraDirectory, part);
        });
    for (const std::string& name : target_.game[kind.index].names) {
        if (!packNames.count(name)) part.missingNames.push_back(name);
    }
    finish(part, outcome);
}

void IconImport::importLooseIcons(const std::string& source, const std::vector<PackLooseIconFile>& icons,
                                  ImportOutcome& outcome) {
    if (icons.empty()) return;
    PackPartImport part;
    part.source = source;
    part.icons = icons.size();
    reporter_.logInfo("Importing " + std::to_string(icons.size()) + " loose icons from " + source);
    reporter_.openProgress(localized("Import loose icons"));
    produceInOrder<IconDecision>(
        icons.size(), 256,
        [&](std::size_t i) {
            const PackLooseIconFile& file = icons[i];
            IconDecision icon;
            icon.name = file.name;
            const std::optional<Image> image = decodePng(file.png.data(), file.png.size());
            if (!image || !plainFileName(file.name)) {
                icon.log.logError(image
                                      ? englishText("Can't import icon: {file} (not a file name)",
                                                    {{"file", file.shownName}})
                                      : englishText("Can't import icon: {file} (not a PNG Ravelin can read)",
                                                    {{"file", file.shownName}}));
                return icon;
            }
            icon.usable = true;
            // The first atlas that has the name decides; the build puts the icon into both where both have
            // it.
            for (const AtlasKind& kind : kAtlasKinds) {
                if (!gameNames_[kind.index].count(file.name)) continue;
                icon.known = true;
                const std::optional<Image> game = gameIcon(kind, file.name);
                icon.equal =
                    game && looksLikeGameIcon({&*image, 0, 0, image->width(), image->height()}, *game);
                break;
            }
            if (!icon.equal || target_.all) icon.png = file.png;
            return icon;
        },
        [&](std::size_t i, IconDecision&& icon) {
            reporter_.setProgressValue(progressBarValue(100.0 * static_cast<double>(i) / icons.size()));
            icon.log.replay(reporter_);
            if (!icon.usable) {
                ++part.failed;
            } else if (!icon.known) {
                // Loose icons belong to no atlas, so there is no atlas to carry them along.
                part.unknownNames.push_back(icon.name);
            } else {
                place(icon, target_.iconDirectory, part);
            }
        });
    finish(part, outcome);
}

}  // namespace

ImportOutcome importIconPacks(const std::vector<std::string>& sources, const ImportTarget& target,
                              Reporter& reporter) {
    ImportOutcome outcome;
    // The default icons are what every icon is compared with, and what the build falls back on.
    for (const AtlasKind& kind : kAtlasKinds) {
        if (absolutePathText(target.iconDirectory) ==
            absolutePathText(target.game[kind.index].iconDirectory)) {
            reporter.logError(englishText("Can't import into the folder of the game's own icons: {folder}",
                                          {{"folder", target.iconDirectory}}));
            return outcome;
        }
    }
    IconImport import(target, reporter);
    for (const std::string& source : sources) {
        const PackContents contents = readIconPack(source, reporter);
        if (contents.nothingFound)
            reporter.logError(
                englishText("No atlas and no icons found in the icon pack: {file}", {{"file", source}}));
        if (!contents.opened || contents.nothingFound) {
            ++outcome.unreadableSources;
            continue;
        }
        for (const PackAtlasFiles& atlas : contents.atlases) import.importAtlas(atlas, outcome);
        import.importLooseIcons(source, contents.looseIcons, outcome);
        import.finishPack();
    }
    return outcome;
}
