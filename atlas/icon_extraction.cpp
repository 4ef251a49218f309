#include "atlas/icon_extraction.h"

#include <limits>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "platform/deferred_log.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/parallel_work.h"
#include "platform/path_separator.h"
#include "platform/pending_files.h"
#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

namespace {

// Whether a relative icon file name stays inside its directory: not rooted, no ".." component.
bool staysInsideDirectory(std::string_view path) {
    if (path.empty()) return true;
    if (isPathSeparator(path.front())) return false;
    if (path.size() >= 2 && path[1] == ':') return false;  // a drive such as C:
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find_first_of("\\/", start);
        if (path.substr(start, end == std::string_view::npos ? path.npos : end - start) == "..") return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// The icon's file path; names with "\" or "/" reach into subdirectories on every platform.
std::string iconPath(const std::string& directory, const std::string& iconFileName) {
    std::string relative = iconFileName;
    for (char& c : relative) {
        if (isPathSeparator(c)) c = kPathSeparator;
    }
    return directory + relative;
}

// An icon's PNG, encoded on any thread, written on the extracting one in the order of the XML.
struct IconFile {
    std::string path;
    std::string fileName;
    std::optional<std::vector<std::uint8_t>> png;
};

// Cuts and encodes one icon into file; what goes wrong is reported to reporter.
void saveIcon(const Image& atlas, const AtlasDescriptorEntry& entry, const std::string& iconDirectory,
              Reporter& reporter, IconFile& file) {
    const std::optional<Image> icon = cutAtlasIcon(atlas, entry, reporter);
    if (!icon) return;
    const std::string fileName = entry.name + ".png";
    file.path = iconPath(iconDirectory, fileName);
    file.fileName = fileName;
    file.png = encodePng(*icon);
    if (!file.png) reporter.logError(englishText("Can't save icon: {file}", {{"file", fileName}}));
}

enum class IconWrite { Unchanged, Written, Failed };

// Creating thousands of files is what costs on Windows (a temporary file and a rename each, the virus
// scanner's look at each), so an icon that did not change is not written again, and in a folder that was
// empty, where no earlier file can be lost, icons are written in place. The written file, complete, goes
// into output; `current` is where the icon's present bytes are.
IconWrite writeIconFile(const IconFile& file, const std::string& current, bool folderWasEmpty,
                        std::unique_ptr<OutputFile>& output) {
    if (!folderWasEmpty && fileHoldsBytes(current, *file.png)) return IconWrite::Unchanged;
    // Unbuffered: the icon goes to the file in one piece.
    std::optional<OutputFile> opened = OutputFile::open(
        file.path, folderWasEmpty ? OutputFile::Mode::Truncate : OutputFile::Mode::Replace, 0);
    if (opened) {
        opened->write(file.png->data(), file.png->size());
        if (opened->finishWriting()) {
            output = std::make_unique<OutputFile>(std::move(*opened));
            return IconWrite::Written;
        }
        // A half-written icon would pass for a default icon later.
        if (folderWasEmpty) removeFile(file.path);
    }
    return IconWrite::Failed;
}

// Hands a written icon file to pending; a failure is noted there.
IconWrite keepIconFile(IconWrite written, std::unique_ptr<OutputFile>& output, PendingFiles& pending) {
    if (written == IconWrite::Written && !pending.add(std::move(*output))) written = IconWrite::Failed;
    if (written == IconWrite::Failed) pending.noteWriteFailure();
    return written;
}

// The icon file's name as the file system may compare it: two entries that name one file (also in other
// letter case, on Windows) must be written one after the other.
std::string sameFileKey(std::string name) {
    for (char& c : name) {
        if (isPathSeparator(c)) c = '/';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

bool folderIsEmpty(const std::string& directory) {
    std::optional<DirectoryListing> listing = DirectoryListing::open(directory, "");
    return !listing || !listing->next();
}

// One non-empty line of the atlas XML and what it holds.
struct XmlStep {
    int progress = 0;
    std::optional<std::string> foundName;
    std::optional<AtlasDescriptorEntry> entry;
};

struct CutStep {
    DeferredLog log;
    IconFile file;
    // Written where it was cut, when no other entry names its file.
    std::optional<IconWrite> written;
    std::unique_ptr<OutputFile> output;
};

}  // namespace

std::optional<Image> cutAtlasIcon(const Image& atlas, const AtlasDescriptorEntry& entry, Reporter& reporter) {
    const std::string fileName = entry.name + ".png";
    if (!staysInsideDirectory(fileName) || !fileSystemTakesName(fileName) || !fitsInt32(entry.x) ||
        !fitsInt32(entry.y) || !fitsInt32(entry.width) || !fitsInt32(entry.height)) {
        reporter.logError(englishText("Can't create icon: {file}", {{"file", fileName}}));
        return std::nullopt;
    }
    // The numbers come from the XML; the work of cutting must be bounded by the image.
    const bool overlaps = entry.x < atlas.width() && entry.y < atlas.height() && entry.x + entry.width > 0 &&
                          entry.y + entry.height > 0;
    const bool empty = entry.width <= 0 || entry.height <= 0;  // refused below, as ever
    if (!empty && (!overlaps || entry.width > atlas.width() || entry.height > atlas.height())) {
        const TextArgument size("size", std::to_string(atlas.width()) + "x" + std::to_string(atlas.height()));
        reporter.logError(
            overlaps
                ? englishText("Can't cut icon: {file} (its rectangle is larger than the {size} atlas image)",
                              {{"file", fileName}, size})
                : englishText("Can't cut icon: {file} (its rectangle lies outside the {size} atlas image)",
                              {{"file", fileName}, size}));
        return std::nullopt;
    }
    std::optional<Image> icon = grabImage(atlas, entry.x, entry.y, entry.width, entry.height);
    if (!icon) reporter.logError(englishText("Can't create icon: {file}", {{"file", fileName}}));
    return icon;
}

AtlasExtraction extractAtlasIcons(const AtlasKind& kind, const std::string& originalAtlasDirectory,
                                  const std::string& workingDirectory, Reporter& reporter,
                                  PendingFiles& pending) {
    const std::string xmlName(kind.atlasXmlName);
    const std::string catalogue(kind.catalogueName);
    AtlasExtraction result;
    // The originals as they are about to be: those unpacked a moment ago may still wait under other names.
    const auto original = [&](const std::string& name) {
        return pending.currentPath(originalAtlasDirectory + name);
    };

    std::optional<TextFile> xml = openTextFileForReading(original(xmlName));
    if (!xml) {
        reporter.logError(englishText("Can't open the original atlas: {file}", {{"file", xmlName}}));
        return result;
    }
    const double progressUnit = static_cast<double>(fileSize(original(xmlName))) / 100.0;
    reporter.logInfo("Opened atlas file: " + xmlName);

    // Today's clients ship a DDS image instead of the PNG.
    std::string imageName(kind.atlasImageName);
    std::optional<Image> atlas;
    const std::string ddsName(kind.atlasDdsImageName);
    if (fileSize(original(imageName)) < 0 && fileSize(original(ddsName)) >= 0) {
        imageName = ddsName;
        DdsDecoding decoding = loadDds(original(ddsName));
        if (!decoding.image) {
            reporter.logError(englishText("Unsupported atlas image: {file} ({reason})",
                                          {{"file", ddsName}, {"reason", decoding.fault}}));
            return result;
        }
        atlas = std::move(decoding.image);
    } else {
        atlas = loadImage(original(imageName));
        if (!atlas) {
            reporter.logError(englishText("Can't open the original image: {file}", {{"file", imageName}}));
            return result;
        }
    }
    result.atlasImageLoaded = true;
    result.atlasWidth = atlas->width();
    result.atlasHeight = atlas->height();
    reporter.logInfo("Opened atlas image: " + imageName + " with size: " + std::to_string(atlas->width()) +
                     "x" + std::to_string(atlas->height()));

    std::optional<TextFile> catalogueFile = createReplacementTextFile(workingDirectory + catalogue);
    if (!catalogueFile) {
        reporter.logError(englishText("Can't create descriptor: {file}", {{"file", catalogue}}));
        pending.noteWriteFailure();
        return result;
    }
    reporter.logInfo("Created descriptor file: " + catalogue);

    reporter.openProgress(localized("Extract original {atlas} icons", {{"atlas", kind.atlasName}}));
    const std::string iconDirectory =
        withTrailingSeparator(workingDirectory + std::string(kind.iconDirectoryName));
    const bool folderWasEmpty = folderIsEmpty(iconDirectory);
    AtlasDescriptorReader reader;
    std::int64_t iconCount = 0;
    std::int64_t bytesSeen = 0;
    std::vector<XmlStep> steps;
    while (!atEndOfFile(*xml)) {
        const std::string line = readLine(*xml);
        if (line.empty()) continue;
        bytesSeen += static_cast<std::int64_t>(line.size());
        AtlasDescriptorReader::LineResult found = reader.readLine(line);
        steps.push_back({progressBarValue(static_cast<double>(bytesSeen) / progressUnit),
                         std::move(found.foundName), std::move(found.entry)});
    }
    // Icons are cut and encoded on every core, and where creating files is what costs (Windows) also
    // written there; they are reported, handed to pending and catalogued here in the XML's order, so the
    // files and the log are the same as on one thread. An entry whose file an earlier entry names too is
    // written here, in order.
    std::vector<bool> writtenWhereCut(steps.size(), false);
    std::unordered_set<std::string> namedFiles;
    for (std::size_t i = 0; kCreateFilesOnEveryCore && i < steps.size(); ++i) {
        if (steps[i].entry) writtenWhereCut[i] = namedFiles.insert(sameFileKey(steps[i].entry->name)).second;
    }
    produceInOrder<CutStep>(
        steps.size(), 256,
        [&](std::size_t i) {
            CutStep cut;
            if (steps[i].entry) saveIcon(*atlas, *steps[i].entry, iconDirectory, cut.log, cut.file);
            // No file it names is among pending's: the icon folder is this kind's alone.
            if (cut.file.png && writtenWhereCut[i])
                cut.written = writeIconFile(cut.file, cut.file.path, folderWasEmpty, cut.output);
            return cut;
        },
        [&](std::size_t i, CutStep&& cut) {
            const XmlStep& step = steps[i];
            reporter.setProgressValue(step.progress);
            if (step.foundName) {
                reporter.setProgressText(
                    localized("Found icon: {file}", {{"file", *step.foundName + ".png"}}));
                ++iconCount;
            }
            if (!step.entry) return;
            cut.log.replay(reporter);
            if (cut.file.png) {
                if (!cut.written) {
                    cut.written = writeIconFile(cut.file, pending.currentPath(cut.file.path), folderWasEmpty,
                                                cut.output);
                }
                const IconWrite written = keepIconFile(*cut.written, cut.output, pending);
                if (written == IconWrite::Failed)
                    reporter.logError(englishText("Can't save icon: {file}", {{"file", cut.file.fileName}}));
                if (written == IconWrite::Written) ++result.iconFilesWritten;
            }
            writeLine(*catalogueFile, catalogueLine(step.entry->name, step.entry->width, step.entry->height));
        });
    reporter.closeProgress();
    closeTextFile(*xml);
    if (!closeTextFileInto(*catalogueFile, pending))
        reporter.logError(englishText("Can't write descriptor: {file}", {{"file", catalogue}}));

    reporter.logInfo("Extracted " + std::to_string(iconCount) + " single icons from " + imageName);
    // An atlas without icons would make every icon of that kind vanish from the game.
    if (iconCount == 0) reporter.logError(englishText("No icons found in {file}", {{"file", xmlName}}));
    result.iconCount =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(iconCount)));
    return result;
}

AtlasExtraction extractAtlasIcons(const AtlasKind& kind, const std::string& originalAtlasDirectory,
                                  const std::string& workingDirectory, Reporter& reporter) {
    PendingFiles pending;
    const AtlasExtraction result =
        extractAtlasIcons(kind, originalAtlasDirectory, workingDirectory, reporter, pending);
    pending.putInPlace(reporter);
    return result;
}
