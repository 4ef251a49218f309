#pragma once

#include "app/settings.h"
#include "game/game_directory.h"
#include "ui/ui.h"

// The game version as the status line shows it: Lesta's client says so ("1.37.0.0 (Lesta)").
inline std::string gameVersionText(const Settings& settings) {
    if (gameClientIn(settings.wotInstallDir) != GameClient::Lesta) return settings.wotLastVersion;
    return settings.wotLastVersion + " (" + std::string(gameClientName(GameClient::Lesta)) + ")";
}

// What the main window (and ravelin-cli's status) shows of the settings.
inline MainWindowView mainWindowViewOf(const Settings& settings) {
    const AtlasRecord& battle = settings.atlas(kBattleAtlas);
    const AtlasRecord& marker = settings.atlas(kMarkerAtlas);
    return MainWindowView{settings.wotInstallDir, battle.iconDirectory,      marker.iconDirectory,
                          settings.acNewIconsDir, gameVersionText(settings), battle.iconCount,
                          marker.iconCount,       settings.acNewIconFiles,   settings.acSaveInGamedir != 0};
}
