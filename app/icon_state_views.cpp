#include "app/icon_state_views.h"

#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_state_summary.h"

IconStateModel currentIconStates(const Settings& settings) {
    std::vector<IconStateSource> sources;
    for (const AtlasKind& kind : kAtlasKinds) sources.push_back({kind, settings.atlas(kind).iconDirectory});
    return readIconStates(sources, settings.acCurrentDir, settings.acNewIconsDir);
}

std::string atlasOutputDirectory(const Settings& settings) {
    return settings.acCurrentDir;
}

std::string buildSummaryText(const Settings& settings, std::size_t listLimit) {
    return iconStateSummary(currentIconStates(settings), atlasOutputDirectory(settings), listLimit);
}
