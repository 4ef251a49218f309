#include "atlas/new_icon_scan.h"

#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

std::int32_t scanNewIcons(const std::string& directory, Reporter& reporter) {
    if (fileSize(directory) != kPathIsDirectory) {
        reporter.logError(
            englishText("The new icon dir '{directory}' doesn't exist.", {{"directory", directory}}));
        return 0;
    }
    reporter.openProgress(localized("Searching for new icons"));
    std::int32_t count = 0;
    if (std::optional<DirectoryListing> listing = DirectoryListing::open(directory, "*.png")) {
        while (listing->next()) {
            if (listing->entryType() != DirectoryListing::EntryType::File) continue;
            reporter.setProgressText(localized("Found icon: {file}", {{"file", listing->entryName()}}));
            ++count;
        }
    }
    reporter.closeProgress();
    reporter.logInfo("Checked new icon dir and found " + std::to_string(count) + " PNG images");
    return count;
}
