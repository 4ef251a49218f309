#include "tests/support/test_context.h"

#include <filesystem>

#include "platform/path_separator.h"

void TestContext::useWorkingDirectoryLayout() {
    const std::string root = directory.text();
    settings.acCurrentDir = root;
    settings.acOriginalAtlasDir = root + "originalAtlases" + kPathSeparator;
    settings.atlas(kBattleAtlas).iconDirectory = root + "defaultBattleImages" + kPathSeparator;
    settings.atlas(kMarkerAtlas).iconDirectory = root + "defaultMarkerImages" + kPathSeparator;
    settings.acNewIconsDir = root + "newTankImages" + kPathSeparator;
    for (const char* name :
         {"originalAtlases", "defaultBattleImages", "defaultMarkerImages", "newTankImages"}) {
        std::filesystem::create_directory(name);
    }
}
