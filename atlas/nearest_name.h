#pragma once

// The catalogue name nearest to a file name that matches none, by edit distance (insertions, deletions
// and substitutions of bytes), so a misspelt replacement can be pointed at the icon it was meant for.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The number of single-byte insertions, deletions and substitutions that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b);

struct NearestName {
    std::string name;  // empty when there is no name to compare with
    std::size_t distance = 0;
};

// Compares one query with many names, ignoring ASCII letter case ("TIGER" is nearest to "Tiger"). Names up to
// 64 bytes go through a bit-parallel comparison (one machine word per query, one step per byte of the name),
// longer ones through the plain table; a name whose length alone differs by more than the best distance so
// far is skipped.
class NearestNameFinder {
public:
    explicit NearestNameFinder(std::string_view query);

    std::size_t distanceTo(std::string_view name) const;
    // The nearest of the names; among equally near ones the first.
    NearestName nearestOf(const std::vector<std::string>& names) const;

private:
    std::string query_;
    std::array<std::uint64_t, 256> positions_{};  // per byte value, the query positions that hold it
};
