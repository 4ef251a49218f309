#pragma once

// How large an unpacked original atlas file may grow: a package is a download that may lie about what
// its entries inflate to.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "image/dds_format.h"

// The first bytes of an entry that decide its ceiling (a DDS header with its DX10 extension).
inline constexpr std::size_t kEntryHeadSize = kDdsMaximumHeaderBytes;

struct EntryCeiling {
    std::uint64_t bytes = 0;
    std::string refusal;  // why a larger file is refused
};

// The most bytes the file may hold, by its name's extension and its first bytes (head, up to
// kEntryHeadSize of them, fewer only when the file is shorter): an XML file 64 MiB, a PNG 256 MiB, a DDS
// what its header implies (the header and every mip level), never more than a 16384 x 16384 RGBA
// texture with its mip chain. A DDS whose header is of no use may hold no more than the head, enough for
// reading the image to name the fault.
EntryCeiling entryCeiling(std::string_view fileName, std::span<const std::uint8_t> head);
