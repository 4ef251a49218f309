#pragma once

#include "app/settings.h"
#include "ui/ui.h"

// What the main window (and ravelin-cli's status) shows of the settings.
inline MainWindowView mainWindowViewOf(const Settings& settings) {
    return MainWindowView{settings.wotInstallDir,      settings.acBattleAtlasDir, settings.acMarkerAtlasDir,
                          settings.acNewIconsDir,      settings.wotLastVersion,   settings.wotNbOfBattleIcons,
                          settings.wotNbOfMarkerIcons, settings.acNewIconFiles};
}
