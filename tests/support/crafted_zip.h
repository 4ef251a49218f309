#pragma once

// Zip packages written byte by byte, for what libarchive's writer will not make: entries that inflate to
// gigabytes from a few megabytes, sizes declared beyond any real file, links.

#include <cstdint>
#include <string>
#include <vector>

struct CraftedEntry {
    std::string name{};
    std::vector<std::uint8_t> data{};  // as stored in the package (raw deflate data when deflated)
    std::uint64_t size = 0;            // the uncompressed size the headers declare
    std::uint32_t crc = 0;
    bool deflated = true;
    std::uint32_t unixMode = 0100644;  // S_IFLNK | 0777 makes a link
    bool zip64 = false;                // sizes in the zip64 extra field
};

std::vector<std::uint8_t> craftedZip(const std::vector<CraftedEntry>& entries);

// An entry stored as it is, with its CRC.
CraftedEntry storedEntry(const std::string& name, const std::string& content);

// An entry whose data inflates to head followed by fill bytes up to size in total, made in a moment by
// repeating one compressed block; its CRC is right.
CraftedEntry inflatingEntry(const std::string& name, const std::vector<std::uint8_t>& head,
                            std::uint64_t size, std::uint8_t fill);
