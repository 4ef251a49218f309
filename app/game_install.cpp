#include "app/game_install.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/settings.h"
#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "atlas/icon_states.h"
#include "mods/atlas_package.h"
#include "mods/conflict_check.h"
#include "mods/install_record.h"
#include "mods/tracked_install.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"

namespace {

// Catalogued icons for which a replacement stands in, as the build decides it.
std::size_t replacedIconCount(Context& context) {
    const Settings& settings = context.settings;
    std::size_t replaced = 0;
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        const auto catalogue =
            readIconCatalogue(settings.acCurrentDir, kind->catalogueName, context.reporter);
        if (!catalogue) continue;
        replaced += countIconStates(resolveIconStates(*catalogue, settings.acNewIconsDir,
                                                      settings.atlas(*kind).iconDirectory))
                        .replaced;
    }
    return replaced;
}

// The check after an install informs: what it cannot read is a warning in the log, not an error that would
// make the install look failed.
class WarningReporter : public Reporter {
public:
    explicit WarningReporter(EventLog& log) : log_(log) {}
    void logInfo(std::string_view text) override { log_.logInfo(text); }
    void logError(std::string_view text) override { log_.logEvent(text, LogLevel::LogWarning); }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

private:
    EventLog& log_;
};

// The first error the steps before the copy logged, which stopped the install.
StepOutcome failedAsLogged(Context& context) {
    return StepOutcome::failed(
        context.log.lastError().value_or(englishText("Can't install the new atlases (see ravelin.log)")));
}

}  // namespace

ModTarget modTarget(const Settings& settings) {
    return {settings.wotInstallDir, settings.wotLastVersion, settings.acCurrentDir};
}

std::optional<std::vector<std::string>> builtAtlasFiles(Context& context, std::string_view refusal) {
    const Settings& settings = context.settings;
    std::vector<std::string> files;
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        files.emplace_back(kind->atlasXmlName);
        for (const std::string_view image : {kind->atlasImageName, kind->atlasDdsImageName}) {
            if (fileSize(settings.acOriginalAtlasDir + std::string(image)) >= 0) files.emplace_back(image);
        }
    }
    for (const std::string& name : files) {
        if (fileSize(settings.acCurrentDir + name) < 0) {
            context.log.logError(
                englishText(refusal, {{"file", name}, {"reason", englishText("not built yet")}}));
            return std::nullopt;
        }
    }
    // An atlas that lost icons in its build, or has none, would make them vanish in the game.
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        const std::string xmlName(kind->atlasXmlName);
        if (fileSize(settings.acCurrentDir + buildRecordName(*kind)) < 0) {
            context.log.logError(englishText(
                refusal, {{"file", xmlName}, {"reason", englishText("its last build logged errors")}}));
            return std::nullopt;
        }
        if (countAtlasEntries(settings.acCurrentDir + xmlName).value_or(0) == 0) {
            context.log.logError(
                englishText(refusal, {{"file", xmlName}, {"reason", englishText("it holds no icons")}}));
            return std::nullopt;
        }
    }
    return files;
}

bool packageNewAtlases(Context& context, const std::string& path) {
    const auto names = builtAtlasFiles(context, translatable("Can't package atlas file: {file} ({reason})"));
    return names && writeAtlasPackage(modTarget(context.settings), *names, replacedIconCount(context), path,
                                      context.reporter);
}

StepOutcome installNewAtlases(Context& context, InstallWay way) {
    const ModTarget target = modTarget(context.settings);
    const std::optional<ModFolders> folders = installFolders(target, context.reporter);
    if (!folders) return failedAsLogged(context);
    std::vector<std::string> files;
    if (way == InstallWay::LooseFiles) {
        const auto names =
            builtAtlasFiles(context, translatable("Can't install atlas file: {file} ({reason})"));
        if (!names) return failedAsLogged(context);
        for (const std::string& name : *names) files.push_back(target.workingDirectory + name);
    } else {
        files.push_back(target.workingDirectory + defaultPackageName(target));
        if (!packageNewAtlases(context, files.back())) return failedAsLogged(context);
    }
    return installAtlasFiles(target, *folders, way, files, context.reporter);
}

StepOutcome uninstallNewAtlases(Context& context) {
    return uninstallAtlases(modTarget(context.settings), context.reporter);
}

std::vector<std::string> atlasConflictsAfterInstall(Context& context) {
    WarningReporter reporter(context.log);
    const std::optional<AtlasConflicts> conflicts =
        checkAtlasConflicts(modTarget(context.settings), reporter);
    if (!conflicts) return {};
    for (const std::string& line : atlasConflictLines(*conflicts))
        context.log.logInfo("Other mod's atlas: " + line);
    return atlasConflictLines(*conflicts, kLocalizedConflictWording);
}

bool anythingInstalled(Context& context) {
    const InstallRecord record = readInstallRecord(context.settings.acCurrentDir, context.reporter);
    return !record.installed.empty() || !record.backups.empty();
}
