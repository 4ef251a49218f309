// A load_order.xml of any content: read without fault, every entry it gives names a package, and the
// decision over a few packages holding the same atlas files, ordered by it, stays whole: at most one copy
// of an atlas is shown whole, every copy named exists, and a listed package is always loaded.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_sandbox.h"
#include "mods/atlas_conflicts.h"
#include "mods/package_order.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

bool namesPackage(const std::string& entry) {
    const auto endsWith = [&](std::string_view ending) {
        return entry.size() >= ending.size() &&
               std::equal(ending.begin(), ending.end(),
                          entry.end() - static_cast<std::ptrdiff_t>(ending.size()),
                          [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
    };
    return (endsWith(".wotmod") || endsWith(".mtmod")) && entry.find('\\') == std::string::npos;
}

AtlasHolder package(const std::string& relativePath, std::vector<std::string> files) {
    AtlasHolder holder;
    holder.path = holder.shownName = relativePath;
    holder.relativePath = relativePath;
    for (const std::string& file : files) {
        holder.gameFiles.push_back("gui/flash/atlases/" + file);
        holder.atlasFiles[file.starts_with("battle") ? 0 : 1].push_back(file);
    }
    std::sort(holder.gameFiles.begin(), holder.gameFiles.end());
    holder.entries[0] = std::vector<std::string>{"a", "x"};
    return holder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadOrderReading reading = readLoadOrderXml(asText(data, size));
    if (!reading.readable && !reading.packages.empty()) fail("an unreadable file gave packages");
    for (const std::string& entry : reading.packages) {
        if (!namesPackage(entry)) fail("an entry that names no package");
    }
    std::vector<AtlasHolder> holders = {
        package("a.wotmod", {"battleatlas.xml", "battleatlas.dds"}),
        package("sub/b.wotmod", {"battleatlas.xml", "vehiclemarkeratlas.xml"}),
        package("c.mtmod", {"vehiclemarkeratlas.xml", "vehiclemarkeratlas.dds"}),
        package("d.wotmod", {"battleatlas.dds"}),
    };
    ConflictSearch search;
    search.ravelinEntries[0] = std::vector<std::string>{"a"};
    const AtlasConflicts conflicts = decideAtlasConflicts(holders, reading.packages, search);
    for (const AtlasHolder& holder : conflicts.holders) {
        const bool listed =
            std::any_of(reading.packages.begin(), reading.packages.end(),
                        [&](const std::string& e) { return loadOrderEntryNames(e, holder.relativePath); });
        if (listed && holder.notLoadedBecauseOf) fail("a listed package was not loaded");
        if (holder.notLoadedBecauseOf && *holder.notLoadedBecauseOf >= conflicts.holders.size())
            fail("not loaded because of no package");
    }
    // A copy shown whole shows every file of its atlas, so no other copy of that atlas can be.
    for (const AtlasKind& kind : kAtlasKinds) {
        std::size_t used = 0;
        for (const ForeignAtlasCopy& copy : conflicts.foreign) {
            if (copy.kind != &kind) continue;
            if (copy.shownInstead && *copy.shownInstead >= conflicts.holders.size())
                fail("shown from no copy");
            if (copy.use == CopyUse::Used) ++used;
            if (copy.use == CopyUse::Used && copy.shownInstead) fail("used, yet shown from another");
        }
        if (used > 1) fail("two copies of one atlas shown whole");
    }
    atlasConflictLines(conflicts);
    return 0;
}
