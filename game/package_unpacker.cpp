#include "game/package_unpacker.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "game/package_reader.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/pending_files.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

// A wanted file's state while the packages are looked through.
struct Slot {
    const WantedFile* wanted;
    std::size_t atlas;   // its index in the wanted atlases
    bool image;          // else the atlas's XML
    bool taken = false;  // found in an earlier package: later ones are not looked at
    bool inThisPackage = false;
    bool failed = false;               // the last copy of it met failed
    std::optional<OutputFile> copy{};  // complete beside its destination, not yet renamed in
    bool written = false;
};

std::vector<Slot> slotsOf(const std::vector<WantedAtlas>& atlases) {
    std::vector<Slot> slots;
    for (std::size_t atlas = 0; atlas < atlases.size(); ++atlas) {
        slots.push_back({&atlases[atlas].xml, atlas, false});
        for (const WantedFile& image : atlases[atlas].images) slots.push_back({&image, atlas, true});
    }
    return slots;
}

// Adds an entry's recorded size to a sum that must not overflow: a package may declare anything.
std::int64_t addSize(std::int64_t sum, std::int64_t size) {
    if (size <= 0) return sum;
    return sum > std::numeric_limits<std::int64_t>::max() - size ? std::numeric_limits<std::int64_t>::max()
                                                                 : sum + size;
}

struct EntryCopy {
    std::optional<OutputFile> file;  // complete beside its destination, not yet renamed in
    std::string fault;               // why there is none, when it is worth saying
    bool writeFailed = false;        // none for want of room or rights, not for the entry's sake
};

// Copies the current entry's data into a temporary file beside the destination; a bomb costs no more
// than the largest file of its kind.
EntryCopy copyEntry(PackageReader& package, const std::string& destination, std::string_view fileName) {
    EntryCopy copy;
    std::optional<OutputFile> file;
    const EntryReading reading = package.readEntry(fileName, [&](const std::uint8_t* data, std::size_t size) {
        if (!file) {
            // A protected original is never replaced, so it fails before anything is written.
            std::optional<OutputFile> opened = isWriteProtected(destination)
                                                   ? std::nullopt
                                                   : OutputFile::open(destination, OutputFile::Mode::Replace);
            if (!opened) {
                copy.writeFailed = true;
                return false;
            }
            file.emplace(std::move(*opened));
        }
        file->write(data, size);
        copy.writeFailed = file->failed();
        return !copy.writeFailed;
    });
    copy.fault = reading.fault;
    // The temporary file of an incomplete copy goes with `file`.
    if (reading.complete && file) {
        if (file->finishWriting())
            copy.file.emplace(std::move(*file));
        else
            copy.writeFailed = true;
    }
    return copy;
}

}  // namespace

std::string gamePackagePath(const std::string& installDirectory) {
    return installDirectory + "res" + kPathSeparator + "packages" + kPathSeparator + "gui.pkg";
}

std::vector<std::string> guiPackagePaths(const std::string& installDirectory) {
    std::vector<std::string> paths;
    const std::string single = gamePackagePath(installDirectory);
    if (fileSize(single) >= 0) paths.push_back(single);
    const std::string directory = installDirectory + "res" + kPathSeparator + "packages" + kPathSeparator;
    std::vector<std::pair<std::uint64_t, std::string>> parts;
    if (std::optional<DirectoryListing> listing = DirectoryListing::open(directory, "gui-part*.pkg")) {
        while (listing->next()) {
            const std::string& name = listing->entryName();
            const std::string_view number = std::string_view(name).substr(8, name.size() - 12);
            // Exactly "gui-part<digits>.pkg": the listing matches any letter case and anything for "*".
            if (!name.starts_with("gui-part") || !name.ends_with(".pkg") || number.empty() ||
                number.size() > 9 || number.find_first_not_of("0123456789") != std::string_view::npos ||
                listing->entryType() != DirectoryListing::EntryType::File) {
                continue;
            }
            parts.emplace_back(static_cast<std::uint64_t>(parseInteger(number)), name);
        }
    }
    std::sort(parts.begin(), parts.end());
    for (const auto& [number, name] : parts) paths.push_back(directory + name);
    return paths;
}

UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory,
                                   const std::vector<WantedAtlas>& atlases, Reporter& reporter,
                                   PendingFiles& pending) {
    UnpackResult result;
    const std::vector<std::string> packages = guiPackagePaths(installDirectory);
    std::int64_t totalSize = 0;
    for (const std::string& path : packages) totalSize = addSize(totalSize, fileSize(path));
    const double progressUnit = static_cast<double>(totalSize) / 100.0;

    std::int64_t bytesListed = 0;
    std::vector<Slot> slots = slotsOf(atlases);
    for (const std::string& packagePath : packages) {
        std::optional<PackageReader> package = PackageReader::open(packagePath);
        if (!package) {
            // One broken part does not hide the atlases of the others.
            if (packages.size() > 1)
                reporter.logError(englishText("Can't open the package: {file}", {{"file", packagePath}}));
            continue;
        }
        if (!result.packageOpened) {
            result.packageOpened = true;
            reporter.openProgress(localized("Unpacking Atlas files"));
            reporter.logInfo("Unpacking original atlas and xml files");
        }
        // The end, or a damaged header.
        while (package->nextEntry()) {
            bytesListed = addSize(bytesListed, package->declaredSize());
            reporter.setProgressValue(progressBarValue(static_cast<double>(bytesListed) / progressUnit));
            const std::string_view name = package->entryName();
            const std::string shownName = validUtf8(name);
            reporter.setProgressText(localized("Found file: {file}", {{"file", shownName}}));
            for (Slot& slot : slots) {
                if (name != slot.wanted->entryName || slot.taken) continue;
                reporter.setProgressText(localized("Unpack file: {file}", {{"file", shownName}}));
                reporter.logInfo("Unpack file: " + shownName);
                const std::string& fileName = slot.wanted->fileName;
                EntryCopy copy = copyEntry(*package, destinationDirectory + fileName, fileName);
                slot.copy.reset();
                slot.failed = !copy.file;
                if (copy.writeFailed) pending.noteWriteFailure();
                if (copy.file) {
                    slot.copy.emplace(std::move(*copy.file));
                } else {
                    reporter.logError(
                        copy.fault.empty()
                            ? englishText("Can't unpack the original file: {file}", {{"file", fileName}})
                            : englishText("Can't unpack the original file: {file} ({reason})",
                                          {{"file", fileName}, {"reason", copy.fault}}));
                }
                slot.inThisPackage = true;
                ++result.entriesFound;
                break;  // the entry's data is read
            }
        }
        for (Slot& slot : slots) slot.taken = slot.taken || slot.inThisPackage;
    }
    if (!result.packageOpened) return result;

    // An atlas's files go in together: when one of them failed, the others are not put beside the old
    // ones, which would mix two clients' rectangles and pixels.
    bool complete = true;
    std::vector<bool> atlasFailed(atlases.size(), false);
    for (const Slot& slot : slots) {
        if (slot.failed) {
            atlasFailed[slot.atlas] = true;
            complete = false;
        }
    }
    for (Slot& slot : slots) {
        if (!slot.copy) continue;
        if (atlasFailed[slot.atlas]) {
            slot.copy.reset();
        } else {
            pending.add(std::move(*slot.copy));  // its destination was found writable before it was copied
            slot.copy.reset();
            slot.written = true;
        }
    }
    // The originals mirror the client: an image of the other format left from an earlier client would be
    // taken for this one's.
    for (std::size_t atlas = 0; atlas < atlases.size(); ++atlas) {
        bool xmlWritten = false;
        bool imageWritten = false;
        for (const Slot& slot : slots) {
            if (slot.atlas == atlas) (slot.image ? imageWritten : xmlWritten) |= slot.written;
        }
        for (const Slot& slot : slots) {
            if (slot.atlas == atlas && slot.image && imageWritten && !slot.taken)
                pending.removeWithTheRest(destinationDirectory + slot.wanted->fileName);
        }
        complete = complete && xmlWritten && imageWritten;
    }
    result.complete = complete;
    reporter.closeProgress();
    return result;
}

UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory,
                                   const std::vector<WantedAtlas>& atlases, Reporter& reporter) {
    PendingFiles pending;
    UnpackResult result =
        unpackOriginalAtlases(installDirectory, destinationDirectory, atlases, reporter, pending);
    if (!pending.putInPlace(reporter)) result.complete = false;
    return result;
}
