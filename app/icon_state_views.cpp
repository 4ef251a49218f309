#include "app/icon_state_views.h"

#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_state_summary.h"

IconStateModel currentIconStates(const Settings& settings) {
    std::vector<IconStateSource> sources;
    for (const AtlasKind& kind : kAtlasKinds) sources.push_back({kind, settings.atlas(kind).iconDirectory});
    return readIconStates(sources, settings.acCurrentDir, settings.acNewIconsDir);
}

IconOverviewView iconOverviewViewOf(const IconStateModel& model) {
    IconOverviewView view;
    for (const AtlasIconStates& atlas : model.atlases) {
        OverviewAtlas& shown = view.atlases.emplace_back();
        shown.title = std::string(atlas.kind->atlasName);
        shown.icons.reserve(atlas.icons.size());
        for (const IconStateEntry& icon : atlas.icons) {
            OverviewMark mark = OverviewMark::Default;
            switch (icon.state) {
                case IconState::Default:
                    break;
                case IconState::EmptyReplacement:
                    mark = OverviewMark::EmptyReplacement;
                    break;
                case IconState::Replaced:
                    mark = OverviewMark::Replaced;
                    break;
                case IconState::OtherSize:
                    mark = OverviewMark::OtherSize;
                    break;
                case IconState::UnreadableReplacement:
                    mark = OverviewMark::UnreadableReplacement;
                    break;
            }
            shown.icons.push_back({icon.name, mark, icon.isNew, icon.defaultPath, icon.replacementPath});
        }
    }
    for (const UnmatchedIconFile& file : model.unmatched)
        view.unmatched.push_back({file.fileName, file.suggestion});
    return view;
}

std::string atlasOutputDirectory(const Settings& settings) {
    return settings.acCurrentDir;
}

std::string buildSummaryText(const Settings& settings, const std::vector<AtlasIconStates>& built,
                             std::size_t listLimit) {
    return iconStateSummary(iconStateModelOf(built, settings.acNewIconsDir), atlasOutputDirectory(settings),
                            listLimit);
}
