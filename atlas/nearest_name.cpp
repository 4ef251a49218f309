#include "atlas/nearest_name.h"

#include <algorithm>
#include <numeric>

#include "platform/text_utilities.h"

std::size_t editDistance(std::string_view a, std::string_view b) {
    // One row of the table at a time.
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

namespace {

std::string folded(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = foldAsciiCase(c);
    return result;
}

}  // namespace

NearestNameFinder::NearestNameFinder(std::string_view query) : query_(folded(query)) {
    if (query_.size() > 64) return;
    for (std::size_t i = 0; i < query_.size(); ++i)
        positions_[static_cast<unsigned char>(query_[i])] |= std::uint64_t{1} << i;
}

std::size_t NearestNameFinder::distanceTo(std::string_view name) const {
    const std::size_t m = query_.size();
    if (m == 0) return name.size();
    if (m > 64) return editDistance(query_, folded(name));
    // Myers' bit-vector algorithm in Hyyrö's form for the whole-string distance: the vertical deltas of
    // one column of the table as two bit vectors (plus one, minus one), the last row's value tracked.
    const std::uint64_t last = std::uint64_t{1} << (m - 1);
    std::uint64_t plusVertical = m == 64 ? ~std::uint64_t{0} : (last << 1) - 1;
    std::uint64_t minusVertical = 0;
    std::size_t score = m;
    for (const char c : name) {
        const std::uint64_t equal = positions_[static_cast<unsigned char>(foldAsciiCase(c))];
        const std::uint64_t xVertical = equal | minusVertical;
        const std::uint64_t xHorizontal = (((equal & plusVertical) + plusVertical) ^ plusVertical) | equal;
        std::uint64_t plusHorizontal = minusVertical | ~(xHorizontal | plusVertical);
        std::uint64_t minusHorizontal = plusVertical & xHorizontal;
        if (plusHorizontal & last) {
            ++score;
        } else if (minusHorizontal & last) {
            --score;
        }
        // The table's first row grows by one per column.
        plusHorizontal = (plusHorizontal << 1) | 1;
        minusHorizontal <<= 1;
        plusVertical = minusHorizontal | ~(xVertical | plusHorizontal);
        minusVertical = plusHorizontal & xVertical;
    }
    return score;
}

NearestName NearestNameFinder::nearestOf(const std::vector<std::string>& names) const {
    NearestName nearest;
    bool found = false;
    for (const std::string& name : names) {
        const std::size_t lengthGap =
            name.size() > query_.size() ? name.size() - query_.size() : query_.size() - name.size();
        if (found && lengthGap >= nearest.distance) continue;
        const std::size_t distance = distanceTo(name);
        if (!found || distance < nearest.distance) {
            nearest = {name, distance};
            found = true;
        }
    }
    return nearest;
}
