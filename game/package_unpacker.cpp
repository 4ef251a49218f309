#include "game/package_unpacker.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

struct WantedEntry {
    std::string_view entryName;
    std::string_view fileName;  // in "originalAtlases"
    int value;
};

constexpr WantedEntry kWantedEntries[] = {
    {"gui/flash/atlases/battleAtlas.png", "battleAtlas.png", 1},
    {"gui/flash/atlases/battleAtlas.xml", "battleAtlas.xml", 2},
    {"gui/flash/atlases/vehicleMarkerAtlas.png", "vehicleMarkerAtlas.png", 4},
    {"gui/flash/atlases/vehicleMarkerAtlas.xml", "vehicleMarkerAtlas.xml", 8},
};

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

// Copies the current entry's data to the destination, which is replaced only when every byte was read.
bool copyEntry(archive* reader, archive_entry* entry, const std::string& destination,
               std::vector<char>& buffer) {
    if (archive_entry_filetype(entry) == AE_IFDIR) return false;
    // Pieces larger than the stream buffer go straight to the file, without a copy.
    std::optional<OutputFile> file = OutputFile::open(destination, OutputFile::Mode::Replace);
    if (!file) return false;
    for (;;) {
        const la_ssize_t read = archive_read_data(reader, buffer.data(), buffer.size());
        if (read < 0) return false;  // the temporary file goes with `file`
        if (read == 0) break;
        file->write(buffer.data(), static_cast<std::size_t>(read));
        if (file->failed()) return false;
    }
    return file->finish();
}

}  // namespace

std::string gamePackagePath(const std::string& installDirectory) {
    return installDirectory + "res" + kPathSeparator + "packages" + kPathSeparator + "gui.pkg";
}

UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory, Reporter& reporter) {
    UnpackResult result;
    const std::string packagePath = gamePackagePath(installDirectory);
    ArchiveReader reader = openPackage(packagePath);
    if (!reader) return result;
    result.packageOpened = true;
    const double progressUnit = static_cast<double>(fileSize(packagePath)) / 100.0;
    reporter.openProgress("Unpacking Atlas files");
    reporter.logInfo("Unpacking original atlas and xml files");

    std::vector<char> buffer(kCopyPieceSize);
    std::int64_t bytesListed = 0;
    int filesWritten = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) break;  // the end, or a damaged header
        if (archive_entry_size_is_set(entry)) bytesListed += archive_entry_size(entry);
        reporter.setProgressValue(progressBarValue(static_cast<double>(bytesListed) / progressUnit));
        const char* rawName = archive_entry_pathname_utf8(entry);
        if (!rawName) rawName = archive_entry_pathname(entry);
        const std::string_view name = rawName ? rawName : "";
        const std::string shownName = validUtf8(name);
        reporter.setProgressText("Found file: " + shownName);
        for (const WantedEntry& wanted : kWantedEntries) {
            if (name != wanted.entryName) continue;
            reporter.setProgressText("Unpack file: " + shownName);
            reporter.logInfo("Unpack file: " + shownName);
            if (copyEntry(reader.get(), entry, destinationDirectory + std::string(wanted.fileName), buffer)) {
                filesWritten |= wanted.value;
            } else {
                reporter.logError("Can't unpack the original file: " + std::string(wanted.fileName));
            }
            result.entriesFound += wanted.value;
        }
    }
    reader.reset();
    reporter.closeProgress();
    result.complete = filesWritten == 15;
    return result;
}
