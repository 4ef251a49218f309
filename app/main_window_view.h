#pragma once

#include "app/settings.h"
#include "ui/ui.h"

// What the main window (and ravelin-cli's status) shows of the settings.
inline MainWindowView mainWindowViewOf(const Settings& settings) {
    const AtlasRecord& battle = settings.atlas(kBattleAtlas);
    const AtlasRecord& marker = settings.atlas(kMarkerAtlas);
    return MainWindowView{settings.wotInstallDir, battle.iconDirectory,    marker.iconDirectory,
                          settings.acNewIconsDir, settings.wotLastVersion, battle.iconCount,
                          marker.iconCount,       settings.acNewIconFiles, settings.acSaveInGamedir != 0};
}
