// Faults a modder's machine produces: read-only directories, full disks, truncated packages, icons that
// vanish or are broken, huge catalogues and hostile names. Each gives its logged error, keeps every
// earlier good file and writes nothing outside the working directory and the icon directories.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/headless_commands.h"
#include "app/main_flow.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/atlas_layout.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_catalogue.h"
#include "atlas/icon_extraction.h"
#include "game/package_unpacker.h"
#include "image/png_codec.h"
#include "tests/faults/fault_sandbox.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/crafted_zip.h"
#include "tests/support/dds_samples.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"
#include "tests/support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

void setModeRecursively(const fs::path& root, fs::perms directories, fs::perms files) {
    fs::permissions(root, directories);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        fs::permissions(entry.path(), entry.is_directory() ? directories : files);
    }
}

constexpr fs::perms kReadOnlyDirectory = fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec;
constexpr fs::perms kReadable =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

struct FaultTest : FaultSandbox {
    // Nothing lands beside the working directory, and no temporary file is left anywhere.
    void expectNothingOutsideOrLeftOver() {
        std::set<std::string> top;
        for (const auto& entry : fs::directory_iterator(sandbox.path()))
            top.insert(entry.path().filename().string());
        EXPECT_EQ(top, (std::set<std::string>{"game", "work"}));
        for (const auto& entry : fs::recursive_directory_iterator(sandbox.path())) {
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
        }
    }
    ScriptedUi runProgramWith(std::deque<MessageAnswer> answers, std::deque<WindowEvent> events,
                              int* exitCode = nullptr) {
        ScriptedUi ui;
        ui.folders = {game.text()};
        ui.answers = std::move(answers);
        ui.events = std::move(events);
        const int code = runProgram(ui);
        if (exitCode) *exitCode = code;
        return ui;
    }
    void firstStartAndBuild() { runProgramWith({}, {UiEvent::CreateAtlases}); }
    std::vector<std::string> logLines() { return unstampedLines(readCrLfLines("ravelin.log")); }
    bool logHas(const std::string& line) {
        const auto lines = logLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    void updateGameVersion() {
        writeFileText((game.directory() / "WoTLauncher.cfg").string(), "<client_ver>2.0</client_ver>\r\n");
    }
};

}  // namespace

TEST_F(FaultTest, ReadOnlyWorkingDirectoryEndsBeforeTheWindowAndKeepsEverything) {
    firstStartAndBuild();
    const Snapshot before = snapshotOf(work);
    setModeRecursively(work, kReadOnlyDirectory, kReadable);
    EXPECT_TRUE(runUnprivileged([&] {
        int exitCode = -1;
        const ScriptedUi ui = runProgramWith({}, {UiEvent::CreateAtlases}, &exitCode);
        return exitCode == 0 &&
               ui.transcript ==
                   std::vector<std::string>{
                       "message error [Error] Can't create log file, insufficient rights? Exiting program!"};
    }));
    EXPECT_EQ(snapshotOf(work), before);
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, ReadOnlyWorkingDirectoryWithAWritableLogReportsEveryFailedWrite) {
    firstStartAndBuild();
    Snapshot before = snapshotOf(work);
    setModeRecursively(work, kReadOnlyDirectory, kReadable);
    fs::permissions("ravelin.log", fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                                      fs::perms::others_exec));
    EXPECT_TRUE(runUnprivileged([&] {
        int exitCode = -1;
        runProgramWith({}, {UiEvent::CreateAtlases}, &exitCode);
        return exitCode == 0;
    }));
    EXPECT_TRUE(logHas("ERROR: Can't create atlas XML file."));
    EXPECT_TRUE(logHas("ERROR: Can't save config file."));
    EXPECT_EQ(logLines().back(), "Ravelin exiting with 3 errors and 0 warnings");
    Snapshot after = snapshotOf(work);
    before.erase("ravelin.log");
    after.erase("ravelin.log");
    EXPECT_EQ(after, before);
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, ReadOnlyIconDirectoriesKeepTheirIcons) {
    firstStartAndBuild();
    // Two icons the update must write again (an unchanged icon is not written at all).
    writeFileText((work / "defaultBattleImages" / "contour_0000.png").string(), "stale");
    writeFileText((work / "defaultMarkerImages" / "marker_0004.png").string(), "stale");
    const Snapshot before = snapshotOf(work);
    setModeRecursively(
        work, fs::perms::all,
        fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
    setModeRecursively(work / "defaultBattleImages", kReadOnlyDirectory, kReadable);
    setModeRecursively(work / "defaultMarkerImages", kReadOnlyDirectory, kReadable);
    updateGameVersion();
    EXPECT_TRUE(runUnprivileged([&] {
        int exitCode = -1;
        runProgramWith({MessageAnswer::Yes}, {}, &exitCode);
        return exitCode == 0;
    }));
    EXPECT_TRUE(logHas("ERROR: Can't save icon: contour_0000.png"));
    EXPECT_TRUE(logHas("ERROR: Can't save icon: marker_0004.png"));
    const Snapshot after = snapshotOf(work);
    for (const auto& [name, content] : before) {
        if (name.rfind("default", 0) == 0 || name.find(".dat") != std::string::npos) {
            EXPECT_EQ(after.at(name), content) << name;
        }
    }
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, WritesFailingPartWayKeepTheEarlierFiles) {
    firstStartAndBuild();
    const Snapshot before = snapshotOf(work);
    ScriptedUi ui;
    Settings settings;
    EventLog log;  // kept in memory: the log file itself would hit the limit too
    Context context{settings, log, ui};
    ASSERT_TRUE(loadSettings(context));
    {
        ScopedFileSizeLimit limit(1000);
        reloadGameAtlases(context, "2.0");
        createAtlases(context);
        saveSettings(context);
    }
    const auto entries = unstampedLines(log.pendingEntries());
    for (const char* line : {"ERROR: Can't unpack the original file: battleAtlas.xml",
                             "ERROR: Can't save atlas image battleAtlas.png",
                             "ERROR: Can't write atlas XML file: battleAtlas.xml", "Saved settings."}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(), line), entries.end()) << line;
    }
    const Snapshot after = snapshotOf(work);
    for (const char* name : {"originalAtlases/battleAtlas.xml", "battleAtlas.png", "battleAtlas.xml",
                             "vehicleMarkerAtlas.png"}) {
        EXPECT_EQ(after.at(name), before.at(name)) << name;
    }
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, TruncatedPackagesNeverDamageTheOriginals) {
    firstStartAndBuild();
    const std::vector<std::uint8_t> package = readFileBytes(game.packagePath().string());
    const char* const names[] = {"battleAtlas.png", "battleAtlas.xml", "vehicleMarkerAtlas.png",
                                 "vehicleMarkerAtlas.xml"};
    std::map<std::string, std::string> earlier;
    for (const char* name : names) {
        earlier[name] = "earlier good " + std::string(name);
    }
    for (int tenth = 1; tenth <= 9; ++tenth) {
        SCOPED_TRACE(tenth);
        for (const auto& [name, content] : earlier) writeFileText("originalAtlases/" + name, content);
        writeFileBytes(
            game.packagePath().string(),
            std::vector<std::uint8_t>(package.begin(),
                                      package.begin() + static_cast<long>(package.size() * tenth / 10)));
        ScriptedUi ui;
        Settings settings;
        settings.wotInstallDir = game.text();
        EventLog log;
        Context context{settings, log, ui};
        try {
            takeGameAtlasesApart(context);
        } catch (const ProgramExit&) {
            // a package too short to be opened at all
        }
        for (const char* name : names) {
            const std::string content = readFileText(std::string("originalAtlases/") + name);
            EXPECT_TRUE(content == earlier[name] || content == game.content(name)) << name;
        }
    }
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, VanishedAndBrokenIconsAreReportedAndLeftOut) {
    firstStartAndBuild();
    ScriptedUi ui;
    Settings settings;
    EventLog log;
    Context context{settings, log, ui};
    ASSERT_TRUE(loadSettings(context));
    // One icon truncated, one garbled, one deleted after it was measured.
    const std::string truncated = readFileText("defaultBattleImages/contour_0001.png");
    writeFileText("defaultBattleImages/contour_0001.png", truncated.substr(0, truncated.size() / 2));
    std::string garbled = readFileText("defaultBattleImages/contour_0002.png");
    for (std::size_t i = 40; i < garbled.size() - 20; i += 7) garbled[i] = static_cast<char>(~garbled[i]);
    writeFileText("defaultBattleImages/contour_0002.png", garbled);
    const auto names = readIconCatalogue(settings.acCurrentDir, "battleatlas.dat", context.reporter);
    ASSERT_TRUE(names);
    const GatheredIcons gathered = gatherAtlasIcons(
        *names, settings.acNewIconsDir, settings.atlas(kBattleAtlas).iconDirectory, context.reporter);
    fs::remove("defaultBattleImages/contour_0003.png");
    EXPECT_TRUE(drawAtlas("battleAtlas.png", "battleAtlas.xml", gathered, context.reporter));
    const std::string xml = readFileText("battleAtlas.xml");
    for (const char* gone : {"contour_0001", "contour_0002", "contour_0003"}) {
        EXPECT_EQ(xml.find(gone), std::string::npos) << gone;
    }
    EXPECT_NE(xml.find("<name> contour_0004 </name>"), std::string::npos);
    const auto errors = unstampedLines(log.pendingEntries());
    for (const char* gone : {"contour_0001", "contour_0002", "contour_0003"}) {
        const std::string error =
            "ERROR: Can't load icon: " + settings.atlas(kBattleAtlas).iconDirectory + gone + ".png";
        EXPECT_EQ(std::count(errors.begin(), errors.end(), error), 1) << gone;
    }
    EXPECT_EQ(log.errorCount(), 3);
    ASSERT_TRUE(loadImage("battleAtlas.png"));

    // A broken original atlas image stops its extraction early and keeps the catalogue.
    const std::string catalogue = readFileText("battleatlas.dat");
    writeFileText("originalAtlases/battleAtlas.png", truncated.substr(0, 60));
    EXPECT_EQ(
        extractAtlasIcons(kBattleAtlas, settings.acOriginalAtlasDir, settings.acCurrentDir, context.reporter)
            .iconCount,
        0);
    EXPECT_EQ(unstampedLines(log.pendingEntries()).back(),
              "ERROR: Can't open the original image: battleAtlas.png");
    EXPECT_EQ(readFileText("battleatlas.dat"), catalogue);
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, CatalogueWithThousandsOfNames) {
    firstStartAndBuild();
    std::string catalogue = readFileText("battleatlas.dat");
    for (int i = 0; i < 5000; ++i) catalogue += "missing_icon_" + std::to_string(i) + ",10,10\r\n";
    writeFileText("battleatlas.dat", catalogue);
    runProgramWith({}, {UiEvent::CreateAtlases});
    EXPECT_TRUE(logHas("Rearranged 5008 icons."));
    const std::string xml = readFileText("battleAtlas.xml");
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\n'), 2 + 8 * 7);
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, HostileIconNamesStayInsideTheIconDirectory) {
    firstStartAndBuild();
    const std::string longName(300, 'n');
    std::string xml;
    for (const std::string& name :
         {std::string("../../escape"), std::string("/tmp/rooted"), std::string("..\\..\\win"), longName,
          std::string("bell\x07tab\tname"), std::string("nul")}) {
        xml += "<name>" + name + "</name><x>0</x><y>0</y><width>3</width><height>3</height>\n";
    }
    xml +=
        std::string("<name>after") + '\0' + "nul</name><x>0</x><y>0</y><width>3</width><height>3</height>\n";
    writeFileText("originalAtlases/battleAtlas.xml", xml);
    ScriptedUi ui;
    Settings settings;
    EventLog log;
    Context context{settings, log, ui};
    ASSERT_TRUE(loadSettings(context));
    // The NUL ends its line before "</name>", so that entry is named ".png" and completed by the next line.
    EXPECT_EQ(
        extractAtlasIcons(kBattleAtlas, settings.acOriginalAtlasDir, settings.acCurrentDir, context.reporter)
            .iconCount,
        7);
    const auto entries = unstampedLines(log.pendingEntries());
    for (const std::string& expected : {std::string("ERROR: Can't create icon: ../../escape.png"),
                                        std::string("ERROR: Can't create icon: /tmp/rooted.png"),
                                        std::string("ERROR: Can't create icon: ..\\..\\win.png"),
                                        "ERROR: Can't save icon: " + longName + ".png"}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(), expected), entries.end()) << expected;
    }
    EXPECT_TRUE(fs::exists("defaultBattleImages/bell\x07tab\tname.png"));
    EXPECT_FALSE(fs::exists("/tmp/rooted.png"));
    EXPECT_EQ(readCrLfLines("battleatlas.dat").back(), ".png,3,3");
    expectNothingOutsideOrLeftOver();
}

TEST_F(FaultTest, WriteProtectedFilesAreNotReplacedAndReplacedFilesKeepTheirMode) {
    firstStartAndBuild();
    const fs::perms readWrite =
        fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                           fs::perms::others_exec);  // rw-rw-rw-, not what umask gives
    setModeRecursively(work, fs::perms::all, readWrite);
    const char* const protectedFiles[] = {"ravelin.conf",
                                          "battleAtlas.xml",
                                          "battleAtlas.png",
                                          "battleatlas.dat",
                                          "defaultBattleImages/contour_0000.png",
                                          "originalAtlases/battleAtlas.xml"};
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const char* name : protectedFiles) fs::permissions(name, readOnly);
    const Snapshot before = snapshotOf(work);
    updateGameVersion();
    EXPECT_TRUE(runUnprivileged([&] {
        int exitCode = -1;
        runProgramWith({MessageAnswer::Yes}, {UiEvent::CreateAtlases}, &exitCode);
        return exitCode == 0;
    }));
    for (const char* line :
         {"ERROR: Can't save config file.", "ERROR: Can't write atlas XML file: battleAtlas.xml",
          "ERROR: Can't save atlas image battleAtlas.png",
          "ERROR: Can't unpack the original file: battleAtlas.xml",
          // so the update cuts nothing, and the catalogue and icons stay as they were
          "ERROR: Not every atlas file could be unpacked; the icons taken apart earlier are kept."}) {
        EXPECT_TRUE(logHas(line)) << line;
    }
    const Snapshot after = snapshotOf(work);
    for (const char* name : protectedFiles) {
        EXPECT_EQ(after.at(name), before.at(name)) << name;
        EXPECT_EQ(fs::status(name).permissions(), readOnly) << name;
    }
    // Replaced by the unprivileged user, yet still with the bits they had.
    EXPECT_TRUE(logHas("Saved new atlas xml file: vehicleMarkerAtlas.xml"));
    for (const char* name :
         {"vehicleMarkerAtlas.xml", "markeratlas.dat", "defaultMarkerImages/marker_0000.png"})
        EXPECT_EQ(fs::status(name).permissions(), readWrite) << name;
    expectNothingOutsideOrLeftOver();
}

// A run killed in the middle of a step leaves every entry logged up to the kill, each line whole: the
// log of a complete run begins with the same lines.
TEST_F(FaultTest, KilledRunKeepsEveryEntryUpToTheKill) {
    struct KillingUi : ScriptedUi {
        int progressWindows = 0;
        void openProgressWindow(const std::string& title) override {
            ++progressWindows;
            ScriptedUi::openProgressWindow(title);
        }
        void setProgressBar(int value) override {
            if (progressWindows == 2 && value >= 50)
                ::kill(::getpid(), SIGKILL);  // halfway through extraction
            ScriptedUi::setProgressBar(value);
        }
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KillingUi ui;
        runHeadlessCommand(HeadlessCommand::Setup, game.text(), ui);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    const std::string killedText = readFileText("ravelin.log");
    fs::rename("ravelin.log", "killed.log");
    const auto killed = unstampedLines(readCrLfLines("killed.log"));
    for (const auto& entry : fs::directory_iterator(work)) {
        if (entry.path().filename() != "killed.log") fs::remove_all(entry.path());
    }

    ScriptedUi ui;
    ASSERT_TRUE(runHeadlessCommand(HeadlessCommand::Setup, game.text(), ui).succeeded);
    const auto complete = unstampedLines(readCrLfLines("ravelin.log"));
    ASSERT_TRUE(killedText.ends_with("\r\n"));
    ASSERT_LT(killed.size(), complete.size() - 1);
    EXPECT_TRUE(
        std::equal(killed.begin() + 1, killed.end(), complete.begin() + 1));  // all but the banner's date
    EXPECT_EQ(killed.back(), "Created descriptor file: battleatlas.dat");
}

// 2 GiB bombs (a single-line XML and a DDS whose header promises 256 x 256) in a package of a few MB,
// whose zip headers declare 4 KiB: setup stops each entry at its ceiling while it streams, names it and
// fails, with memory and writes bounded.
TEST_F(FaultTest, PackageBombsStopAtTheirCeiling) {
    constexpr std::uint64_t kBomb = 2ull << 30;
    const std::string dds = ddsHeaderText(256, 256, 0x4, "DXT5");
    std::vector<CraftedEntry> entries = {
        inflatingEntry("gui/flash/atlases/battleAtlas.xml", {}, kBomb, 'a'),
        inflatingEntry("gui/flash/atlases/battleAtlas.dds", {dds.begin(), dds.end()}, kBomb, 0)};
    for (CraftedEntry& bomb : entries) bomb.size = 4096;  // the headers lie: only streaming finds out
    for (const char* name : {"vehicleMarkerAtlas.xml", "vehicleMarkerAtlas.png"})
        entries.push_back(storedEntry(std::string("gui/flash/atlases/") + name, game.content(name)));
    writeFileBytes(game.packagePath().string(), craftedZip(entries));
    EXPECT_LT(fs::file_size(game.packagePath()), 16u << 20);

    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen("err.txt", "w", stderr);
        execl(RAVELIN_CLI_PATH, "ravelin-cli", "setup", game.text().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_TRUE(logHas("ERROR: Can't unpack the original file: battleAtlas.xml (more than 67108864 bytes)"));
    EXPECT_TRUE(logHas("ERROR: Can't unpack the original file: battleAtlas.dds (more than " +
                       std::to_string(128 + 256 * 256) + " bytes)"));
    EXPECT_LT(usage.ru_maxrss, 512 * 1024) << "KiB at the peak";
    EXPECT_LT(usage.ru_oublock, 300 * 2048) << "512-byte blocks written";
    std::printf("setup on a 2 GiB bomb: peak %ld KiB, %ld KiB written\n", usage.ru_maxrss,
                usage.ru_oublock / 2);
    expectNothingOutsideOrLeftOver();
}
