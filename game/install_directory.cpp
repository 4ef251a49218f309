#include "game/install_directory.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "game/client_version.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "ui/ui.h"

namespace {

// Where the picker starts: the usual install location on Windows, the home directory elsewhere.
std::string pickerStartDirectory() {
#ifdef _WIN32
    return "C:\\Program Files (x86)";
#else
    return homeDirectory();
#endif
}

bool askToRetry(Context& context, const std::string& question) {
    return context.ui.showMessage("Error", question, MessageKind::Question) == MessageAnswer::Yes;
}

}  // namespace

bool selectInstallDirectory(Context& context) {
    // Each rejected choice either starts a complete new attempt or ends the program.
    for (;;) {
        context.log.logInfo("Selecting new World of Tanks® install directory.");
        std::string path = context.ui.chooseFolder("Select the WoT install dir:", pickerStartDirectory());
        if (path.empty()) {
            if (askToRetry(context, "You abort the selection, there is no valid directory!\r\nTry again?"))
                continue;
            context.log.raiseFatal("Didn't select the World of Tanks install dir.");
        }
        if (path.back() != kPathSeparator) path += kPathSeparator;
        if (fileSize(path) != kPathIsDirectory) {
            if (askToRetry(context, "The selected directory does not exist!\r\nSelect another one?"))
                continue;
            context.log.raiseFatal("The selected directory doesn't exist.");
        }
        if (fileSize(path + "WorldOfTanks.exe") <= 0) {
            if (askToRetry(context,
                           "Can't find the World of Tanks® executeable, maybe it is the wrong directory?\r\n"
                           "Select another one?")) {
                continue;
            }
            context.log.raiseFatal("Didn't find the World of Tanks® executeable.");
        }
        context.log.logInfo("Valid World of Tanks® install dir found: " + path + ".");
        context.settings.wotInstallDir = path;
        context.settings.wotLastVersion = readClientVersion(context);
        return true;
    }
}
