#include "tests/support/crafted_zip.h"

#include <zlib.h>

namespace {

void put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

// The fixed part shared by the local and the central header, from the version needed on.
void putCommon(std::vector<std::uint8_t>& out, const CraftedEntry& entry) {
    put(out, entry.zip64 ? 45 : 20, 2);
    put(out, 0, 2);                       // flags
    put(out, entry.deflated ? 8 : 0, 2);  // method
    put(out, 0, 2);                       // time
    put(out, 0x21, 2);                    // 1980-01-01
    put(out, entry.crc, 4);
    put(out, entry.zip64 ? kUnknown : entry.data.size(), 4);
    put(out, entry.zip64 ? kUnknown : entry.size, 4);
    put(out, entry.name.size(), 2);
    put(out, entry.zip64 ? 20 : 0, 2);  // extra field length
}

void putNameAndExtra(std::vector<std::uint8_t>& out, const CraftedEntry& entry) {
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    if (!entry.zip64) return;
    put(out, 1, 2);
    put(out, 16, 2);
    put(out, entry.size, 8);
    put(out, entry.data.size(), 8);
}

// Compresses input and flushes fully, so the output does not refer back to anything before it.
std::vector<std::uint8_t> deflatePiece(z_stream& stream, const std::vector<std::uint8_t>& input, int flush) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> chunk(1u << 16);
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    do {
        stream.next_out = chunk.data();
        stream.avail_out = static_cast<uInt>(chunk.size());
        deflate(&stream, flush);
        out.insert(out.end(), chunk.begin(), chunk.end() - stream.avail_out);
    } while (stream.avail_out == 0);
    return out;
}

}  // namespace

std::vector<std::uint8_t> craftedZip(const std::vector<CraftedEntry>& entries) {
    std::vector<std::uint8_t> zip;
    std::vector<std::uint8_t> central;
    for (const CraftedEntry& entry : entries) {
        const std::size_t offset = zip.size();
        put(zip, 0x04034b50, 4);
        putCommon(zip, entry);
        putNameAndExtra(zip, entry);
        zip.insert(zip.end(), entry.data.begin(), entry.data.end());

        put(central, 0x02014b50, 4);
        put(central, (3 << 8) | 45, 2);  // made by Unix, so the mode counts
        putCommon(central, entry);
        put(central, 0, 2);  // comment length
        put(central, 0, 2);  // disk
        put(central, 0, 2);  // internal attributes
        put(central, static_cast<std::uint64_t>(entry.unixMode) << 16, 4);
        put(central, offset, 4);
        putNameAndExtra(central, entry);
    }
    const std::size_t centralOffset = zip.size();
    zip.insert(zip.end(), central.begin(), central.end());
    put(zip, 0x06054b50, 4);
    put(zip, 0, 4);  // disks
    put(zip, entries.size(), 2);
    put(zip, entries.size(), 2);
    put(zip, central.size(), 4);
    put(zip, centralOffset, 4);
    put(zip, 0, 2);
    return zip;
}

CraftedEntry inflatingEntry(const std::string& name, const std::vector<std::uint8_t>& head,
                            std::uint64_t size, std::uint8_t fill) {
    constexpr std::uint64_t kPiece = 1u << 20;
    CraftedEntry entry{.name = name, .size = size};
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    entry.data = deflatePiece(stream, head, Z_FULL_FLUSH);
    entry.crc = static_cast<std::uint32_t>(crc32(0, head.data(), static_cast<uInt>(head.size())));
    const std::vector<std::uint8_t> piece(kPiece, fill);
    const std::vector<std::uint8_t> packedPiece = deflatePiece(stream, piece, Z_FULL_FLUSH);
    const uLong pieceCrc = crc32(0, piece.data(), static_cast<uInt>(kPiece));
    std::uint64_t left = size - head.size();
    for (; left >= kPiece; left -= kPiece) {
        entry.data.insert(entry.data.end(), packedPiece.begin(), packedPiece.end());
        entry.crc =
            static_cast<std::uint32_t>(crc32_combine(entry.crc, pieceCrc, static_cast<z_off_t>(kPiece)));
    }
    const std::vector<std::uint8_t> rest(left, fill);
    const std::vector<std::uint8_t> packedRest = deflatePiece(stream, rest, Z_FINISH);
    entry.data.insert(entry.data.end(), packedRest.begin(), packedRest.end());
    entry.crc = static_cast<std::uint32_t>(
        crc32_combine(entry.crc, crc32(0, rest.data(), static_cast<uInt>(left)), static_cast<z_off_t>(left)));
    deflateEnd(&stream);
    return entry;
}

CraftedEntry storedEntry(const std::string& name, const std::string& content) {
    CraftedEntry entry{
        .name = name, .data = {content.begin(), content.end()}, .size = content.size(), .deflated = false};
    entry.crc = static_cast<std::uint32_t>(crc32(0, entry.data.data(), static_cast<uInt>(entry.data.size())));
    return entry;
}
