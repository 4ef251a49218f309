#include "atlas/new_icon_scan.h"

#include "app/context.h"
#include "app/event_log.h"
#include "platform/file_system.h"
#include "platform/text_utilities.h"
#include "ui/ui.h"

std::int32_t scanNewIcons(Context& context, const std::string& directory) {
    if (fileSize(directory) != kPathIsDirectory) {
        context.log.logError("The new icon dir '" + directory + "' doesn't exist.");
        return 0;
    }
    context.ui.openProgressWindow("Searching for new icons");
    std::int32_t count = 0;
    if (std::optional<DirectoryListing> listing = DirectoryListing::open(directory, "*.png")) {
        while (listing->next()) {
            if (listing->entryType() != DirectoryListing::EntryType::File) continue;
            context.ui.setProgressText("Found icon: " + listing->entryName());
            ++count;
        }
    }
    context.ui.closeProgressWindow();
    context.log.logInfo("Checked new icon dir and found " + integerText(count) + " PNG images");
    return count;
}
