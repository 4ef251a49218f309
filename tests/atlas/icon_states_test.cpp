#include "atlas/icon_states.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/icon_state_views.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_state_summary.h"
#include "atlas/nearest_name.h"
#include "atlas/new_icon_names.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/pending_files.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_context.h"

TEST(NearestName, BitParallelDistanceAgreesWithTheTable) {
    EXPECT_EQ(editDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(editDistance("", "abc"), 3u);
    std::mt19937 random(5);
    // Lengths around one machine word, over a small alphabet so that matches are frequent.
    for (int round = 0; round < 3000; ++round) {
        auto text = [&](std::size_t maximum) {
            std::string s(std::uniform_int_distribution<std::size_t>(0, maximum)(random), ' ');
            for (char& c : s) c = static_cast<char>('a' + random() % 4);
            return s;
        };
        const std::string query = text(round < 2000 ? 64 : 80);
        const std::string name = text(80);
        SCOPED_TRACE(query + " / " + name);
        ASSERT_EQ(NearestNameFinder(query).distanceTo(name), editDistance(query, name));
    }
}

TEST(NearestName, PicksTheNearestAndTheFirstOfEquals) {
    const std::vector<std::string> names = {"germany-D55_Tiger", "germany-G04_PzVI_Tiger_I", "ussr-R04_T-34",
                                            "germany-D55_Tigex"};
    EXPECT_EQ(NearestNameFinder("germany-D55_Tigre").nearestOf(names).name, "germany-D55_Tiger");
    EXPECT_EQ(NearestNameFinder("germany-D55_Tige").nearestOf(names).name, "germany-D55_Tiger");
    EXPECT_EQ(NearestNameFinder("T-34").nearestOf(names).distance, 9u);
    EXPECT_EQ(NearestNameFinder("x").nearestOf({}).name, "");
    EXPECT_EQ(NearestNameFinder("GERMANY-d55_tiger").nearestOf(names).distance, 0u);
}

TEST(NewIconNames, RememberedOnlyWhenTheCatalogueChanged) {
    TestContext t;
    const auto remember = [&](const std::optional<std::vector<std::string>>& previous,
                              const std::vector<std::string>& current) {
        PendingFiles pending;
        const bool written = rememberNewIconNames("list.dat", previous, current, pending);
        return pending.putInPlace(t.reporter) && written;
    };
    EXPECT_EQ(newIconListName(kBattleAtlas), "battleatlas-new.dat");
    EXPECT_TRUE(remember(std::nullopt, {"a", "b"}));  // first catalogue
    EXPECT_FALSE(std::filesystem::exists("list.dat"));

    EXPECT_TRUE(remember(std::vector<std::string>{"a", "b"}, {"c", "a", "d", "b"}));
    EXPECT_EQ(readFileText("list.dat"), "c\r\nd\r\n");
    // The same atlas taken apart again keeps telling what the update brought.
    EXPECT_TRUE(remember(std::vector<std::string>{"b", "a", "c", "d"}, {"a", "b", "c", "d"}));
    EXPECT_EQ(readNewIconNames("list.dat"), (std::vector<std::string>{"c", "d"}));
    // An update that only removed icons brought nothing new.
    EXPECT_TRUE(remember(std::vector<std::string>{"a", "b", "c", "d"}, {"a", "b"}));
    EXPECT_EQ(readFileText("list.dat"), "");
    EXPECT_TRUE(readNewIconNames("missing.dat").empty());
}

namespace {

struct IconStatesTest : ::testing::Test {
    TestContext t;
    void SetUp() override { t.useWorkingDirectoryLayout(); }

    static void png(const std::string& path, int width, int height) {
        ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(width, height, 3), path));
    }
    IconStateModel read() { return currentIconStates(t.settings); }
};

}  // namespace

TEST_F(IconStatesTest, EachIconGetsTheStateTheBuildWouldGiveIt) {
    writeFileText("battleatlas.dat",
                  "same,10,8\r\nwider,10,8\r\nbroken,10,8\r\nempty,10,8\r\nuntouched,10,8\r\n"
                  "germany-D55_Tiger,12,6\r\nfresh,4,4\r\n");
    writeFileText("battleatlas-new.dat", "fresh\r\nuntouched\r\ngermany-D55_Tiger\r\n");
    writeFileText("markeratlas.dat", "marker,6,6\r\n");
    png("newTankImages/same.png", 10, 8);
    png("newTankImages/wider.png", 11, 8);
    writeFileText("newTankImages/broken.png", "not a PNG");
    writeFileText("newTankImages/empty.png", "");
    png("newTankImages/germany-D55_Tiger.png", 12, 6);
    png("newTankImages/marker.png", 6, 6);
    png("newTankImages/germany-D55_Tigre.png", 12, 6);
    if (!kFileNamesIgnoreCase) writeFileText("newTankImages/FRESH.PNG", "x");
    writeFileText("newTankImages/notes.txt", "not listed: not a PNG name");
    std::filesystem::create_directory("newTankImages/folder.png");

    const IconStateModel model = read();
    ASSERT_EQ(model.atlases.size(), 2u);
    const AtlasIconStates& battle = model.atlases[0];
    ASSERT_TRUE(battle.catalogueFound);
    std::vector<std::pair<std::string, IconState>> states;
    for (const IconStateEntry& icon : battle.icons) states.emplace_back(icon.name, icon.state);
    EXPECT_EQ(states,
              (std::vector<std::pair<std::string, IconState>>{{"same", IconState::Replaced},
                                                              {"wider", IconState::OtherSize},
                                                              {"broken", IconState::UnreadableReplacement},
                                                              {"empty", IconState::EmptyReplacement},
                                                              {"untouched", IconState::Default},
                                                              {"germany-D55_Tiger", IconState::Replaced},
                                                              {"fresh", IconState::Default}}));
    EXPECT_EQ(battle.icons[1].replacementWidth, 11);
    EXPECT_EQ(battle.icons[1].width, 10);
    EXPECT_EQ(battle.icons[0].defaultPath, t.settings.atlas(kBattleAtlas).iconDirectory + "same.png");
    EXPECT_EQ(battle.icons[0].replacementPath, t.settings.acNewIconsDir + "same.png");
    EXPECT_EQ(battle.icons[3].replacementPath, t.settings.acNewIconsDir + "empty.png");  // named, not used
    EXPECT_FALSE(battle.icons[3].hasReplacement());
    EXPECT_TRUE(battle.icons[4].replacementPath.empty());
    const IconStateCounts& counts = battle.counts;
    EXPECT_EQ(counts.icons, 7u);
    EXPECT_EQ(counts.replaced, 3u);
    EXPECT_EQ(counts.otherSize, 1u);
    EXPECT_EQ(counts.unreadable, 1u);
    EXPECT_EQ(counts.empty, 1u);
    EXPECT_EQ(counts.newIcons, 3u);
    EXPECT_EQ(counts.newWithoutReplacement, 2u);
    EXPECT_EQ(model.atlases[1].icons.at(0).state, IconState::Replaced);
    // The overview says so too, and lists the icon with those at their default.
    const OverviewIcon empty = iconOverviewViewOf(model).atlases[0].icons[3];
    EXPECT_EQ(icon_overview::markText(empty), "empty file, the default icon is used");
    EXPECT_TRUE(icon_overview::passes(empty, icon_overview::Filter::Default, ""));

    // Taken by no atlas: the misspelt name and (where letter case matters) a name in the wrong case, each
    // with its nearest icon.
    ASSERT_EQ(model.unmatched.size(), kFileNamesIgnoreCase ? 1u : 2u);
    EXPECT_EQ(model.unmatched.back().fileName, "germany-D55_Tigre.png");
    EXPECT_EQ(model.unmatched.back().suggestion, "germany-D55_Tiger");
    if (!kFileNamesIgnoreCase) {
        EXPECT_EQ(model.unmatched[0].suggestion, "fresh");
    }
}

TEST_F(IconStatesTest, SummaryNamesWhatNeedsALook) {
    writeFileText("battleatlas.dat", "a,2,2\r\nb,2,2\r\nc,2,2\r\nd,2,2\r\ne,2,2\r\n");
    writeFileText("battleatlas-new.dat", "b\r\nc\r\nd\r\ne\r\n");
    png("newTankImages/a.png", 2, 2);
    png("newTankImages/b.png", 3, 2);
    writeFileText("newTankImages/c.png", "x");
    writeFileText("newTankImages/d.png", "");
    png("newTankImages/ab.png", 2, 2);
    const IconStateModel model = read();
    EXPECT_EQ(
        iconStateSummary(model, "/out/", 2),
        "battleAtlas: 5 icons, 2 replaced, 1 unreadable replacement, 1 empty file, 1 of another size, 4 new "
        "since the last game version\n"
        "  Unreadable, the default icon was used: c.png\n"
        "  Empty file, the default icon is used: d.png\n"
        "  Of another size than the icon they replace: b.png (3 x 2 instead of 2 x 2)\n"
        "  3 new vehicles have no replacement yet: c, d and 1 more\n"
        "vehicleMarkerAtlas: no icon list; take the game's atlases apart first\n"
        "1 file in the replacement folder matches no icon:\n"
        "  ab.png (nearest icon: a)\n"
        "The new atlases are in /out/\n");
    EXPECT_EQ(
        iconStateCountLines(model),
        "battleAtlas: 5 icons, 2 replaced, 1 unreadable replacement, 1 empty file, 1 of another size, 4 new "
        "since the last game version\n"
        "vehicleMarkerAtlas: no icon list\n"
        "Files matching no icon: 1\n");
}
