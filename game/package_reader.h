#pragma once

// Reading a zip package entry by entry through libarchive: the game's GUI packages, mod packages and icon
// packs. A package is a download that may lie about its entries, so each entry's data is held to the
// ceiling of its kind (entry_ceiling.h) while it streams, and only regular files are read.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct archive;
struct archive_entry;

struct EntryReading {
    bool complete = false;  // every byte was read and taken by the sink
    std::string fault;      // why not, when it is worth saying ("not a regular file", "more than N bytes")
};

class PackageReader {
public:
    // None when the file cannot be opened as a zip.
    static std::optional<PackageReader> open(const std::string& path);

    PackageReader(PackageReader&&) noexcept = default;
    PackageReader& operator=(PackageReader&&) noexcept = default;
    ~PackageReader();

    // Moves to the next entry; false at the end, or at a damaged header (damaged() then says so).
    bool nextEntry();
    bool damaged() const { return damaged_; }
    // The current entry's path as the package stores it (UTF-8 where the package says so).
    const std::string& entryName() const { return name_; }
    // The size the package declares for the current entry, -1 when it declares none.
    std::int64_t declaredSize() const;

    // Passes the current entry's data to sink in pieces (false from the sink stops the reading). The ceiling
    // comes from fileName's extension and the entry's first bytes, and is known before the sink gets
    // anything; an entry beyond it, declared or found so while reading, is refused.
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;
    EntryReading readEntry(std::string_view fileName, const Sink& sink);
    // The whole data of the current entry, within its ceiling.
    EntryReading readEntry(std::string_view fileName, std::vector<std::uint8_t>& data);

private:
    struct ArchiveDeleter {
        void operator()(archive* reader) const;
    };
    explicit PackageReader(std::unique_ptr<archive, ArchiveDeleter> reader);

    std::unique_ptr<archive, ArchiveDeleter> reader_;
    archive_entry* entry_ = nullptr;
    std::string name_;
    bool damaged_ = false;
    std::vector<std::uint8_t> buffer_;
};
