#pragma once

#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "game/game_directory.h"
#include "ui/ui.h"

// The game version as the status line shows it: Lesta's client says so ("1.37.0.0 (Lesta)").
inline std::string gameVersionText(const Settings& settings) {
    if (gameClientIn(settings.wotInstallDir) != GameClient::Lesta) return settings.wotLastVersion;
    return settings.wotLastVersion + " (" + std::string(gameClientName(GameClient::Lesta)) + ")";
}

static_assert(kAtlasKindCount == kAtlasRowCount, "each atlas kind needs its row in the main window's layout");

// What the main window (and ravelin-cli's status) shows of the settings.
inline MainWindowView mainWindowViewOf(const Settings& settings) {
    MainWindowView view;
    view.installDirectory = settings.wotInstallDir;
    for (const AtlasKind& kind : kAtlasKinds) {
        const AtlasRecord& record = settings.atlas(kind);
        view.atlases[kind.index] = {record.iconDirectory, record.iconCount};
    }
    view.newIconDirectory = settings.acNewIconsDir;
    view.gameVersion = gameVersionText(settings);
    view.newIcons = settings.acNewIconFiles;
    view.saveInGameDirectory = settings.acSaveInGamedir != 0;
    view.languages = choosableLanguages();
    // A hand-written code ("de_AT") is checked as the language it chooses; one without a catalogue
    // chooses English.
    if (!settings.language.empty()) view.language = availableLanguage(settings.language).value_or("en");
    return view;
}
