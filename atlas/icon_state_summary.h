#pragma once

// The build summary as text: per atlas the counts and the icons that need a look, then the files that
// match no icon with the nearest name, then where the atlases went. The desktop program shows it in a
// message box, ravelin-cli prints it.

#include <cstddef>
#include <string>
#include <vector>

struct IconStateModel;

// Lists of names are cut after listLimit entries ("and N more"); 0 lists them all. Lines end in "\n".
std::string iconStateSummary(const IconStateModel& model, const std::string& outputDirectory,
                             std::size_t listLimit);

// "a, b, c and 3 more": at most limit names (all for 0).
std::string nameListText(const std::vector<std::string>& items, std::size_t limit);

struct IconStateCounts;
// "N icons, N replaced, N unreadable replacements, [N empty files, ]N of another size, N new since the last
// game version"
std::string iconStateCountsText(const IconStateCounts& counts);

struct IconStateEntry;
// "W x H instead of w x h": a replacement of another size against the icon it replaces.
std::string sizeChangeText(const IconStateEntry& icon);

// One line per atlas with its counts, for ravelin-cli's status.
std::string iconStateCountLines(const IconStateModel& model);
