#include "game/package_unpacker.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "game/entry_ceiling.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
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

constexpr std::size_t kBlockSize = 10240;
constexpr std::size_t kCopyPieceSize = 2u << 20;

struct ArchiveReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReaderDeleter>;

ArchiveReader openPackage(const std::string& path) {
    ArchiveReader reader(archive_read_new());
    if (!reader) return nullptr;
    archive_read_support_format_zip_streamable(reader.get());
    archive_read_support_format_zip_seekable(reader.get());
#ifdef _WIN32
    const int opened = archive_read_open_filename_w(reader.get(), nativePath(path).c_str(), kBlockSize);
#else
    const int opened = archive_read_open_filename(reader.get(), path.c_str(), kBlockSize);
#endif
    if (opened != ARCHIVE_OK) return nullptr;
    return reader;
}

// Adds an entry's recorded size to a sum that must not overflow: a package may declare anything.
std::int64_t addSize(std::int64_t sum, std::int64_t size) {
    if (size <= 0) return sum;
    return sum > std::numeric_limits<std::int64_t>::max() - size ? std::numeric_limits<std::int64_t>::max()
                                                                 : sum + size;
}

// Reads up to size bytes of the current entry's data; the count read, or none when the data is damaged.
std::optional<std::size_t> readData(archive* reader, char* data, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const la_ssize_t read = archive_read_data(reader, data + filled, size - filled);
        if (read < 0) return std::nullopt;
        if (read == 0) break;
        filled += static_cast<std::size_t>(read);
    }
    return filled;
}

struct EntryCopy {
    std::optional<OutputFile> file;  // complete beside its destination, not yet renamed in
    std::string fault;               // why there is none, when it is worth saying
};

// Copies the current entry's data into a temporary file beside the destination. The entry's ceiling is
// known from its first bytes before anything is written and is held while the data streams, so a bomb
// costs no more than the largest file of its kind.
EntryCopy copyEntry(archive* reader, archive_entry* entry, const std::string& destination,
                    std::string_view fileName, std::vector<char>& buffer) {
    EntryCopy copy;
    // Zips without Unix modes give no type; a link's data would be its target's name.
    if (const auto type = archive_entry_filetype(entry); type != AE_IFREG && type != 0) {
        copy.fault = "not a regular file";
        return copy;
    }
    const std::optional<std::size_t> headSize = readData(reader, buffer.data(), kEntryHeadSize);
    if (!headSize) return copy;
    const EntryCeiling ceiling =
        entryCeiling(fileName, std::span(reinterpret_cast<const std::uint8_t*>(buffer.data()), *headSize));
    if (*headSize > ceiling.bytes ||
        (archive_entry_size_is_set(entry) &&
         static_cast<std::uint64_t>(archive_entry_size(entry)) > ceiling.bytes)) {
        copy.fault = ceiling.refusal;
        return copy;
    }
    std::optional<OutputFile> file = OutputFile::open(destination, OutputFile::Mode::Replace);
    if (!file) return copy;
    std::uint64_t written = *headSize;
    file->write(buffer.data(), *headSize);
    for (;;) {
        const la_ssize_t read = archive_read_data(reader, buffer.data(), buffer.size());
        if (read < 0) return copy;  // the temporary file goes with `file`
        if (read == 0) break;
        written += static_cast<std::uint64_t>(read);
        if (written > ceiling.bytes) {
            copy.fault = ceiling.refusal;
            return copy;
        }
        file->write(buffer.data(), static_cast<std::size_t>(read));
        if (file->failed()) return copy;
    }
    if (file->finishWriting()) copy.file.emplace(std::move(*file));
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
                                   const std::vector<WantedAtlas>& atlases, Reporter& reporter) {
    UnpackResult result;
    const std::vector<std::string> packages = guiPackagePaths(installDirectory);
    std::int64_t totalSize = 0;
    for (const std::string& path : packages) totalSize = addSize(totalSize, fileSize(path));
    const double progressUnit = static_cast<double>(totalSize) / 100.0;

    std::vector<char> buffer;
    std::int64_t bytesListed = 0;
    std::vector<Slot> slots = slotsOf(atlases);
    for (const std::string& packagePath : packages) {
        ArchiveReader reader = openPackage(packagePath);
        if (!reader) {
            // One broken part does not hide the atlases of the others.
            if (packages.size() > 1) reporter.logError("Can't open the package: " + packagePath);
            continue;
        }
        if (!result.packageOpened) {
            result.packageOpened = true;
            reporter.openProgress("Unpacking Atlas files");
            reporter.logInfo("Unpacking original atlas and xml files");
            buffer.resize(kCopyPieceSize);
        }
        archive_entry* entry = nullptr;
        for (;;) {
            const int status = archive_read_next_header(reader.get(), &entry);
            if (status != ARCHIVE_OK && status != ARCHIVE_WARN) break;  // the end, or a damaged header
            if (archive_entry_size_is_set(entry))
                bytesListed = addSize(bytesListed, archive_entry_size(entry));
            reporter.setProgressValue(progressBarValue(static_cast<double>(bytesListed) / progressUnit));
            const char* rawName = archive_entry_pathname_utf8(entry);
            if (!rawName) rawName = archive_entry_pathname(entry);
            const std::string_view name = rawName ? rawName : "";
            const std::string shownName = validUtf8(name);
            reporter.setProgressText("Found file: " + shownName);
            for (Slot& slot : slots) {
                if (name != slot.wanted->entryName || slot.taken) continue;
                reporter.setProgressText("Unpack file: " + shownName);
                reporter.logInfo("Unpack file: " + shownName);
                const std::string& fileName = slot.wanted->fileName;
                EntryCopy copy =
                    copyEntry(reader.get(), entry, destinationDirectory + fileName, fileName, buffer);
                slot.copy.reset();
                slot.failed = !copy.file;
                if (copy.file) {
                    slot.copy.emplace(std::move(*copy.file));
                } else {
                    reporter.logError("Can't unpack the original file: " + fileName +
                                      (copy.fault.empty() ? std::string() : " (" + copy.fault + ")"));
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
        } else if (slot.copy->replaceDestination()) {
            slot.written = true;
        } else {
            complete = false;
            reporter.logError("Can't unpack the original file: " + slot.wanted->fileName);
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
                removeFile(destinationDirectory + slot.wanted->fileName);
        }
        complete = complete && xmlWritten && imageWritten;
    }
    result.complete = complete;
    reporter.closeProgress();
    return result;
}
