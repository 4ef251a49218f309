// A package's meta.xml of any content: read without fault, and an id it gives is one the load order can
// sort by: not empty, no control character, no blank at either end.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "mods/package_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<std::string> id = packageIdInMetaXml(asText(data, size));
    if (!id) return 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    const bool control = std::any_of(
        id->begin(), id->end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (id->empty() || control || blank(id->front()) || blank(id->back())) {
        std::fprintf(stderr, "an unusable id passed: '%s'\n", id->c_str());
        std::abort();
    }
    return 0;
}
