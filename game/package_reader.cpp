#include "game/package_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <span>

#include "game/entry_ceiling.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"

namespace {

constexpr std::size_t kBlockSize = 10240;
constexpr std::size_t kPieceSize = 2u << 20;

// Reads up to size bytes of the current entry's data; the count read, or none when the data is damaged.
std::optional<std::size_t> readData(archive* reader, std::uint8_t* data, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const la_ssize_t read = archive_read_data(reader, data + filled, size - filled);
        if (read < 0) return std::nullopt;
        if (read == 0) break;
        filled += static_cast<std::size_t>(read);
    }
    return filled;
}

}  // namespace

void PackageReader::ArchiveDeleter::operator()(archive* reader) const {
    archive_read_free(reader);
}

PackageReader::PackageReader(std::unique_ptr<archive, ArchiveDeleter> reader) : reader_(std::move(reader)) {}

PackageReader::~PackageReader() = default;

std::optional<PackageReader> PackageReader::open(const std::string& path) {
    std::unique_ptr<archive, ArchiveDeleter> reader(archive_read_new());
    if (!reader) return std::nullopt;
    archive_read_support_format_zip_streamable(reader.get());
    archive_read_support_format_zip_seekable(reader.get());
#ifdef _WIN32
    const int opened = archive_read_open_filename_w(reader.get(), nativePath(path).c_str(), kBlockSize);
#else
    const int opened = archive_read_open_filename(reader.get(), path.c_str(), kBlockSize);
#endif
    if (opened != ARCHIVE_OK) return std::nullopt;
    return PackageReader(std::move(reader));
}

bool PackageReader::nextEntry() {
    if (damaged_) return false;
    const int status = archive_read_next_header(reader_.get(), &entry_);
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
        damaged_ = status != ARCHIVE_EOF;
        entry_ = nullptr;
        name_.clear();
        return false;
    }
    const char* name = archive_entry_pathname_utf8(entry_);
    if (!name) name = archive_entry_pathname(entry_);
    name_ = name ? name : "";
    return true;
}

std::int64_t PackageReader::declaredSize() const {
    return entry_ && archive_entry_size_is_set(entry_) ? archive_entry_size(entry_) : -1;
}

EntryReading PackageReader::readEntry(std::string_view fileName, const Sink& sink) {
    EntryReading reading;
    if (!entry_) return reading;
    // Zips without Unix modes give no type; a link's data would be its target's name.
    if (const auto type = archive_entry_filetype(entry_); type != AE_IFREG && type != 0) {
        reading.fault = englishText("not a regular file");
        return reading;
    }
    if (buffer_.empty()) buffer_.resize(kPieceSize);
    const std::optional<std::size_t> headSize = readData(reader_.get(), buffer_.data(), kEntryHeadSize);
    if (!headSize) return reading;
    const EntryCeiling ceiling = entryCeiling(fileName, std::span(buffer_.data(), *headSize));
    const std::int64_t declared = declaredSize();
    if (*headSize > ceiling.bytes ||
        (declared >= 0 && static_cast<std::uint64_t>(declared) > ceiling.bytes)) {
        reading.fault = ceiling.refusal;
        return reading;
    }
    if (!sink(buffer_.data(), *headSize)) return reading;
    std::uint64_t taken = *headSize;
    for (;;) {
        const la_ssize_t read = archive_read_data(reader_.get(), buffer_.data(), buffer_.size());
        if (read < 0) return reading;
        if (read == 0) break;
        taken += static_cast<std::uint64_t>(read);
        if (taken > ceiling.bytes) {
            reading.fault = ceiling.refusal;
            return reading;
        }
        if (!sink(buffer_.data(), static_cast<std::size_t>(read))) return reading;
    }
    reading.complete = true;
    return reading;
}

EntryReading PackageReader::readEntry(std::string_view fileName, std::vector<std::uint8_t>& data) {
    data.clear();
    EntryReading reading = readEntry(fileName, [&](const std::uint8_t* piece, std::size_t size) {
        try {
            data.insert(data.end(), piece, piece + size);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    });
    if (!reading.complete) data = {};
    return reading;
}
