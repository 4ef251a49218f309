#include "game/entry_ceiling.h"

#include <algorithm>

#include "image/image.h"
#include "platform/localized_text.h"

namespace {

constexpr std::uint64_t kMiB = 1u << 20;
constexpr std::uint64_t kLargestSide = kMaximumImageSide;
constexpr std::uint64_t kLargestDds = kLargestSide * kLargestSide * 4 * 4 / 3 + kEntryHeadSize;

std::string moreThan(std::uint64_t bytes) {
    return englishText("more than {count} bytes", {{"count", bytes}});
}

EntryCeiling ddsCeiling(std::span<const std::uint8_t> head) {
    const DdsHeaderReading reading = readDdsHeader(head.data(), head.size(), kLargestDds);
    if (!reading.header)
        return {kEntryHeadSize,
                englishText("a DDS Ravelin cannot read: {reason}", {{"reason", reading.fault}})};
    const DdsHeader& header = *reading.header;
    std::uint64_t size = header.dataOffset;
    for (int level = 0; level < header.mipLevels; ++level) {
        size += ddsLevelBytes(header.format.encoding, std::max<std::int64_t>(header.width >> level, 1),
                              std::max<std::int64_t>(header.height >> level, 1));
    }
    size = std::min(size, kLargestDds);
    return {size, moreThan(size)};
}

}  // namespace

EntryCeiling entryCeiling(std::string_view fileName, std::span<const std::uint8_t> head) {
    if (fileName.ends_with(".xml")) return {64 * kMiB, moreThan(64 * kMiB)};
    if (fileName.ends_with(".png")) return {256 * kMiB, moreThan(256 * kMiB)};
    return ddsCeiling(head);
}
