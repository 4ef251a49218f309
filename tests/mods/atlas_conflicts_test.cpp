#include "mods/atlas_conflicts.h"

#include <gtest/gtest.h>

#include <set>

#include "game/mod_directory.h"
#include "mods/package_order.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "tests/support/collecting_reporter.h"
#include "tests/support/crafted_zip.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// An atlas XML in the game's form, one field a line.
std::string atlasXml(const std::vector<std::string>& names) {
    std::string xml = "<root>\r\n";
    for (const std::string& name : names)
        xml += "  <SubTexture>\r\n    <name>" + name +
               "</name>\r\n    <x>0</x>\r\n    <y>0</y>\r\n    <width>1</width>\r\n    <height>1</height>\r\n"
               "  </SubTexture>\r\n";
    return xml + "</root>\r\n";
}

struct PackageContent {
    std::string path;                 // below mods/2.4/
    std::string meta;                 // meta.xml's text; none when empty
    std::vector<std::string> battle;  // the battle atlas's entries; no battle atlas when empty
    std::vector<std::string> marker;
    std::vector<std::string> others{};  // other files it gives the game, below res/
    bool ravelins = false;
};

std::string metaXml(const std::string& id) {
    return "<root>\r\n  <id>" + id + "</id>\r\n  <version>1.0</version>\r\n  <name>x</name>\r\n</root>\r\n";
}

// A game directory with the folders res_mods/2.4/ and mods/2.4/.
struct ConflictTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    std::string game = directory.text() + "game" + kPathSeparator;
    fs::path atlases = fs::path("game") / "res_mods" / "2.4" / "gui" / "flash" / "atlases";
    fs::path packages = fs::path("game") / "mods" / "2.4";
    std::set<std::string> ravelinWrote;
    CollectingReporter reporter;

    ConflictTest() {
        fs::create_directories(atlases);
        fs::create_directories(packages);
    }

    ConflictSearch search() {
        ConflictSearch search;
        search.gameDirectory = game;
        search.folders = {"2.4", "2.4"};
        search.ravelinWrote = [this](const std::string& path) { return ravelinWrote.contains(path); };
        search.ravelinEntries[kBattleAtlas.index] = std::vector<std::string>{"a", "b"};
        search.ravelinEntries[kMarkerAtlas.index] = std::vector<std::string>{"m"};
        return search;
    }

    void writePackage(const PackageContent& package) {
        std::vector<PackageEntry> entries;
        if (!package.meta.empty()) entries.push_back({"meta.xml", bytesOf(package.meta), true});
        for (const auto& [kind, names] :
             {std::pair(&kBattleAtlas, package.battle), {&kMarkerAtlas, package.marker}}) {
            if (names.empty()) continue;
            const std::string folder = "res/gui/flash/atlases/";
            entries.push_back({folder + std::string(kind->atlasXmlName), bytesOf(atlasXml(names)), true});
            entries.push_back({folder + std::string(kind->atlasDdsImageName), bytesOf("DDS "), true});
        }
        for (const std::string& other : package.others)
            entries.push_back({"res/" + other, bytesOf("x"), false});
        const fs::path path = packages / package.path;
        fs::create_directories(path.parent_path());
        writeFileBytes(path.string(), writeZip(entries));
        if (package.ravelins) ravelinWrote.insert(modPackageDirectory(game, "2.4") + package.path);
    }

    void writeLooseAtlas(const AtlasKind& kind, const std::vector<std::string>& names, bool ravelins) {
        for (const std::string_view name : {kind.atlasXmlName, kind.atlasDdsImageName}) {
            writeFileText((atlases / name).string(), atlasXml(names));
            if (ravelins) ravelinWrote.insert(modAtlasDirectory(game, "2.4") + std::string(name));
        }
    }

    // The summary's lines, the game directory written as "G/" and every separator as "/".
    std::vector<std::string> lines() {
        std::vector<std::string> lines = atlasConflictLines(findAtlasConflicts(search(), reporter));
        for (std::string& line : lines) {
            for (std::size_t at; (at = line.find(game)) != std::string::npos;)
                line.replace(at, game.size(), "G/");
            std::replace(line.begin(), line.end(), '\\', '/');
        }
        return lines;
    }
};

}  // namespace

TEST(PackageOrder, MetaXmlIdsAndLoadOrderEntries) {
    const struct {
        std::string text;
        std::optional<std::string> id;
    } metas[] = {
        {metaXml("author.mod"), "author.mod"},
        {"<root><id>\r\n  spaced.id \t</id></root>", "spaced.id"},
        {"<root><name>no id</name></root>", std::nullopt},
        {"<root><id>  </id></root>", std::nullopt},
        {"<root><id>a&#10;b</id></root>", std::nullopt},  // a control character inside
        {"<root><id>broken</root>", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& meta : metas) EXPECT_EQ(packageIdInMetaXml(meta.text), meta.id) << meta.text;

    const LoadOrderReading order = readLoadOrderXml(
        "<?xml version=\"1.0\"?>\n<root>\n  <!-- <pkg>commented.wotmod</pkg> -->\n  <Collection>\n"
        "    <pkg> first.wotmod </pkg>\n    <note>not a package</note>\n    <pkg>sub\\Second.MTMOD</pkg>\n"
        "    <group><item>third.wotmod</item></group>\n  </Collection>\n</root>\n");
    EXPECT_TRUE(order.readable);
    EXPECT_EQ(order.packages, (std::vector<std::string>{"first.wotmod", "sub/Second.MTMOD", "third.wotmod"}));
    const LoadOrderReading broken = readLoadOrderXml("<root><pkg>a.wotmod</root>");
    EXPECT_FALSE(broken.readable);
    EXPECT_FALSE(broken.fault.empty());
    EXPECT_TRUE(broken.packages.empty());

    EXPECT_TRUE(loadOrderEntryNames("First.wotmod", "first.wotmod"));
    EXPECT_TRUE(loadOrderEntryNames("first.wotmod", "deep/er/first.wotmod"));  // a bare name, any folder
    EXPECT_TRUE(loadOrderEntryNames("./sub/x.wotmod", "sub/x.wotmod"));
    EXPECT_FALSE(loadOrderEntryNames("other/x.wotmod", "sub/x.wotmod"));
    EXPECT_FALSE(loadOrderEntryNames("x.wotmod", "x.wotmod.bak"));
}

// Which copy the game shows and what the others lose, one line per other mod's atlas.
TEST_F(ConflictTest, SaysWhichCopyTheGameShowsAndWhatTheOthersLose) {
    const std::string sharedAtlasFile = "gui/flash/atlases/battleatlas.dds";
    const struct {
        const char* label;
        std::vector<PackageContent> packages;
        std::string loadOrder;  // none when empty
        bool ravelinLooseBattle = false;
        bool foreignLooseMarker = false;
        std::vector<std::string> expected;
    } cases[] = {
        {"meta.xml ids order the packages; a later one holding the same file is not loaded",
         {{"a.wotmod", metaXml("z.last"), {"a", "x2", "x3"}, {}},
          {"b.wotmod", metaXml("a.first"), {"a", "x1"}, {}}},
         "",
         false,
         false,
         {"battleAtlas of mods/2.4/a.wotmod (z.last): the package is not loaded at all, since "
          "mods/2.4/b.wotmod "
          "(a.first) loads before it and also holds " +
              sharedAtlasFile +
              ". It has 2 entries Ravelin's atlas lacks (x2, x3): ravelin-cli import \"G/mods/2.4/a.wotmod\" "
              "takes them in.",
          "battleAtlas of mods/2.4/b.wotmod (a.first): the game shows this one. It has 1 entry Ravelin's "
          "atlas "
          "lacks (x1): ravelin-cli import \"G/mods/2.4/b.wotmod\" takes it in."}},
        {"the file name stands in for a missing or broken id",
         {{"x.wotmod", "<root><id>broken</root>", {"a"}, {}}, {"deep/y.wotmod", metaXml("w.id"), {"b"}, {}}},
         "",
         false,
         false,
         {"battleAtlas of mods/2.4/deep/y.wotmod (w.id): the game shows this one. Ravelin's atlas has all "
          "its "
          "entries.",
          "battleAtlas of mods/2.4/x.wotmod: the package is not loaded at all, since mods/2.4/deep/y.wotmod "
          "(w.id) loads before it and also holds " +
              sharedAtlasFile + ". Ravelin's atlas has all its entries."}},
        {"load_order.xml: the listed load first and the last listed wins",
         {{"a.wotmod", metaXml("m.a"), {"a"}, {}},
          {"sub/b.wotmod", metaXml("m.b"), {"b"}, {"m"}},
          {"c.wotmod", metaXml("0.first"), {}, {"m", "c1"}}},
         "<root>\n <!-- mine -->\n <Collection>\n  <pkg> a.wotmod </pkg>\n  <pkg>sub/b.wotmod</pkg>\n "
         "</Collection>\n</root>\n",
         false,
         false,
         {"battleAtlas of mods/2.4/a.wotmod (m.a): hidden by mods/2.4/sub/b.wotmod (m.b). Ravelin's atlas "
          "has "
          "all its entries.",
          "battleAtlas of mods/2.4/sub/b.wotmod (m.b): the game shows this one. Ravelin's atlas has all its "
          "entries.",
          "vehicleMarkerAtlas of mods/2.4/c.wotmod (0.first): the package is not loaded at all, since "
          "mods/2.4/sub/b.wotmod (m.b) loads before it and also holds "
          "gui/flash/atlases/vehiclemarkeratlas.dds. "
          "It has 1 entry Ravelin's atlas lacks (c1): ravelin-cli import \"G/mods/2.4/c.wotmod\" takes it "
          "in.",
          "vehicleMarkerAtlas of mods/2.4/sub/b.wotmod (m.b): the game shows this one. Ravelin's atlas has "
          "all "
          "its entries."}},
        {"res_mods before the packages; Ravelin's own files are not named",
         {{"p.wotmod", "", {"a", "b", "badge_1", "badge_2", "badge_3", "badge_4", "badge_5", "badge_6"}, {}}},
         "",
         true,
         false,
         {"battleAtlas of mods/2.4/p.wotmod: hidden by Ravelin's in res_mods/2.4/gui/flash/atlases/. It has "
          "6 "
          "entries Ravelin's atlas lacks (badge_1, badge_2, badge_3, badge_4, badge_5 and 1 more): "
          "ravelin-cli "
          "import \"G/mods/2.4/p.wotmod\" takes them in."}},
        {"another mod's loose files hide Ravelin's package",
         {{"ravelin.wotmod", metaXml("ravelin.atlases"), {"a", "b"}, {"m"}, {}, true}},
         "",
         false,
         true,
         {"Ravelin's vehicleMarkerAtlas in mods/2.4/ravelin.wotmod is not shown: the game shows "
          "res_mods/2.4/gui/flash/atlases/ instead.",
          "vehicleMarkerAtlas of res_mods/2.4/gui/flash/atlases/: the game shows this one. It has 1 entry "
          "Ravelin's atlas lacks (n1): ravelin-cli import \"G/res_mods/2.4/gui/flash/atlases/\" takes it "
          "in."}},
        {"a package sharing any file with an earlier one is not loaded, atlases and all",
         {{"q.wotmod", metaXml("a"), {}, {}, {"scripts/x.pyc"}},
          {"r.wotmod", metaXml("b"), {"a"}, {}, {"scripts/x.pyc"}}},
         "",
         false,
         false,
         {"battleAtlas of mods/2.4/r.wotmod (b): the package is not loaded at all, since mods/2.4/q.wotmod "
          "(a) "
          "loads before it and also holds scripts/x.pyc. Ravelin's atlas has all its entries."}},
        {"only Ravelin's", {{"ravelin.wotmod", "", {"a"}, {"m"}, {}, true}}, "", false, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all("game");
        fs::create_directories(atlases);
        fs::create_directories(packages);
        ravelinWrote.clear();
        for (const PackageContent& package : c.packages) writePackage(package);
        if (!c.loadOrder.empty()) writeFileText((packages / "load_order.xml").string(), c.loadOrder);
        if (c.ravelinLooseBattle) writeLooseAtlas(kBattleAtlas, {"a", "b"}, true);
        if (c.foreignLooseMarker) writeLooseAtlas(kMarkerAtlas, {"m", "n1"}, false);
        EXPECT_EQ(lines(), c.expected);
        EXPECT_EQ(reporter.errors, std::vector<std::string>{});
    }
}

// Packages and files that cannot be read are named and left out; the rest is still decided.
TEST_F(ConflictTest, HostileFilesAreRefusedUnderTheCeilings) {
    const std::string atlasEntry = "res/gui/flash/atlases/battleAtlas.xml";
    writeFileBytes((packages / "names.wotmod").string(),
                   craftedZip({storedEntry("../../" + atlasEntry, atlasXml({"x"})),
                               storedEntry("/meta.xml", metaXml("a"))}));
    writeFileBytes((packages / "bomb.wotmod").string(),
                   craftedZip({storedEntry("meta.xml", metaXml("b.bomb")),
                               inflatingEntry(atlasEntry, {}, std::uint64_t{65} << 20, 'a')}));
    writeFileText((packages / "text.wotmod").string(), "not a zip");
    writeFileText((packages / "load_order.xml").string(), "<root><pkg>bomb.wotmod</root>");
    const std::string at = modPackageDirectory(game, "2.4");
    EXPECT_EQ(lines(),
              std::vector<std::string>{"battleAtlas of mods/2.4/bomb.wotmod (b.bomb): the game shows "
                                       "this one."});
    EXPECT_EQ(reporter.errors, (std::vector<std::string>{
                                   "Can't read the package's entry: " + at + "bomb.wotmod: " + atlasEntry +
                                       " (more than 67108864 bytes)",
                                   "Refused the package's entry: " + at + "names.wotmod: ../../" +
                                       atlasEntry + " (a path that leads out of the package)",
                                   "Refused the package's entry: " + at +
                                       "names.wotmod: /meta.xml (a path that leads out of the "
                                       "package)",
                                   "Can't open the package: " + at + "text.wotmod (not a zip package)",
                                   "Can't read " + at + "load_order.xml (" +
                                       readLoadOrderXml("<root><pkg>bomb.wotmod</root>").fault +
                                       "); the packages are taken in the game's order without it",
                               }));
}
