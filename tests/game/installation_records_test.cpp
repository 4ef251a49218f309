#include "game/installation_records.h"

#include <gtest/gtest.h>

#include "game/vdf_document.h"
#include "game/xml_document.h"
#include "platform/path_separator.h"

namespace {

using Entries = std::vector<std::string>;

const char* const kPreferences = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- written by the Game Center -->
<protocol name="wgc_preferences" version="2.0">
  <application>
    <games_manager>
      <active_game>WOT.EU.PRODUCTION</active_game>
      <games>
        <game>
          <working_dir>C:\Games\World_of_Tanks_EU</working_dir>
          <id>WOT.EU.PRODUCTION</id>
        </game>
        <game><working_dir> D:\Tanks &amp; Co\World_of_Tanks_CT </working_dir></game>
        <game><id>no folder</id></game>
        <game><working_dir><![CDATA[E:\Wörld]]></working_dir></game>
      </games>
    </games_manager>
  </application>
</protocol>
)";

}  // namespace

TEST(InstallationRecords, GameCenterPreferencesListTheirGameFolders) {
    const RecordReading reading = gameCenterGameFolders(kPreferences);
    EXPECT_EQ(reading.fault, "");
    EXPECT_EQ(reading.entries,
              (Entries{"C:\\Games\\World_of_Tanks_EU", "D:\\Tanks & Co\\World_of_Tanks_CT", "E:\\Wörld"}));
    EXPECT_TRUE(gameCenterGameFolders("<protocol><application/></protocol>").entries.empty());
    for (const char* damaged : {"", "not xml at all", "<protocol><application>", "<a></b>", "<a>&bogus;</a>",
                                "<a x=1></a>", "<a></a><b></b>", "<a><!-- open</a>"}) {
        SCOPED_TRACE(damaged);
        const RecordReading reading = gameCenterGameFolders(damaged);
        EXPECT_TRUE(reading.entries.empty());
        EXPECT_EQ(reading.fault.rfind("not XML: ", 0), 0u);
    }
}

TEST(InstallationRecords, XmlTextsAreResolvedAndNestingIsBounded) {
    const XmlDocument document = parseXmlDocument(
        "\xEF\xBB\xBF<?xml version='1.0'?><!DOCTYPE a><a k='v &quot;q&quot;' n = \"2\">x&#65;&#x42;&lt;"
        "<b/>y<c>\xFF</c></a>");
    ASSERT_TRUE(document.root) << document.fault;
    EXPECT_EQ(document.root->text, "xAB<y");
    EXPECT_EQ(document.root->attributes,
              (std::vector<std::pair<std::string, std::string>>{{"k", "v \"q\""}, {"n", "2"}}));
    EXPECT_EQ(document.root->descendant({"c"})->text, "?");
    EXPECT_EQ(document.root->descendant({"b", "x"}), nullptr);

    std::string deep;
    for (int i = 0; i < 65; ++i) deep += "<a>";
    for (int i = 0; i < 65; ++i) deep += "</a>";
    EXPECT_FALSE(parseXmlDocument(deep).root);
    EXPECT_TRUE(parseXmlDocument(deep.substr(3, deep.size() - 7)).root);
    EXPECT_FALSE(parseXmlDocument("<a>&#0;</a>").root);
    EXPECT_FALSE(parseXmlDocument("<a>&#xD800;</a>").root);
}

TEST(InstallationRecords, SteamLibrariesThatHoldTheGame) {
    const char* const current = R"("libraryfolders"
{
	"0"
	{
		"path"		"C:\\Program Files (x86)\\Steam"
		"apps"		{ "228980" "1" }
	}
	"1"   // the game's library
	{
		"path"		"/home/modder/Steam \"Library\""
		"apps"
		{
			"1407200"		"98765"
		}
	}
	"2" { "path" "/mnt/old" }
	"contentstatsid"		"-123"
}
)";
    EXPECT_EQ(steamLibraryFolders(current).entries, (Entries{"/home/modder/Steam \"Library\"", "/mnt/old"}));
    const char* const older =
        "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"D:\\\\Games\"\n}";
    EXPECT_EQ(steamLibraryFolders(older).entries, (Entries{"D:\\Games"}));
    const struct {
        const char* text;
        const char* fault;
    } damaged[] = {
        {"\"libraryfolders\" { \"0\" { \"path\" \"/unterminated } }", "damaged: unterminated quote"},
        {"\"libraryfolders\" { \"0\" { \"path\" \"/x\" }", "damaged: unclosed block"},
        {"\"libraryfolders\" { } }", "damaged: a closing brace without block"},
        {"\"libraryfolders\" { \"path\" }", "damaged: a key without value"},
        {"{ }", "damaged: a block without key"},
        {"\"other\" { }", "no libraryfolders block"},
        {"", "no libraryfolders block"},
    };
    for (const auto& c : damaged) {
        SCOPED_TRACE(c.text);
        const RecordReading reading = steamLibraryFolders(c.text);
        EXPECT_TRUE(reading.entries.empty());
        EXPECT_EQ(reading.fault.substr(0, reading.fault.rfind(" at byte")), c.fault);
    }
}

TEST(InstallationRecords, VdfConditionsCommentsAndNesting) {
    const VdfDocument document =
        parseVdfDocument("\"AppState\" { \"LastPlayed\" \"1700000000\" [$WIN32] // when\n bare word\n }");
    ASSERT_TRUE(document.root) << document.fault;
    EXPECT_EQ(steamLastPlayed("\"AppState\" { \"LastPlayed\" \"1700000000\" [$WIN32] }"), 1700000000);
    EXPECT_EQ(document.root->child("appstate")->child("bare")->text, "word");
    for (const char* unknown : {"\"AppState\" { }", "\"AppState\" { \"LastPlayed\" \"-5\" }",
                                "\"AppState\" { \"LastPlayed\" \"99999999999999999999\" }", "\"AppState\" {"})
        EXPECT_EQ(steamLastPlayed(unknown), 0) << unknown;
    std::string deep;
    for (int i = 0; i < 66; ++i) deep += "k {";
    EXPECT_FALSE(parseVdfDocument(deep).root);
}

TEST(InstallationRecords, LutrisPrefixRealmAndPathsInsideAPrefix) {
    const char* const configuration =
        "game:\n  exe: drive_c/Games/wgc.exe\n  prefix: '~/Games/wargaming'\nname: World of Tanks\n";
    EXPECT_EQ(lutrisPrefix(configuration, "/home/m/").entries, (Entries{"/home/m/Games/wargaming"}));
    EXPECT_EQ(lutrisPrefix("game:\n  prefix: \"/p q\"\n", "").entries, (Entries{"/p q"}));
    for (const char* damaged :
         {"game:\n  exe: x\nname: World of Tanks\n", "prefix: /outside\n", "game:\n  prefix:\n"})
        EXPECT_EQ(lutrisPrefix(damaged, "/h/").fault, "no Wine prefix under game:") << damaged;

    EXPECT_EQ(realmOfGameInfo("<protocol><game><id>WOT.CT.PRODUCTION</id></game></protocol>"), "CT");
    EXPECT_EQ(realmOfGameInfo("<info><id> WOT.EU </id></info>"), "EU");
    EXPECT_EQ(realmOfGameInfo("<info><id>WOT</id></info>"), "");
    EXPECT_EQ(realmOfGameInfo("not xml"), "");
    // The launcher's configuration, for a game without game_info.xml: addresses and versions are no ids.
    const std::pair<const char*, const char*> launcherConfigs[] = {
        {"<info><patch_info_urls><item>http://update.wot.eu/</item></patch_info_urls>"
         "<client_ver>1.37</client_ver><game_id>\n WOT.EU.PRODUCTION\n</game_id></info>",
         "EU"},
        {"<info><realm>NA</realm><id>WOT.EU.PRODUCTION</id></info>", "NA"},
        {"<info><id>WOT.EU-1.PRODUCTION</id><client_ver>2.4.0.2</client_ver></info>", ""},
        {"<client_ver>2.4.0.2</client_ver>", ""},
        {"WOT.EU.PRODUCTION", ""}};
    for (const auto& [config, realm] : launcherConfigs)
        EXPECT_EQ(realmOfLauncherConfig(config), realm) << config;

    const std::string s(1, kPathSeparator);
    EXPECT_EQ(pathInWinePrefix("/p", "C:\\Games\\WoT"), "/p" + s + "drive_c" + s + "Games" + s + "WoT");
    EXPECT_EQ(pathInWinePrefix("/p/", "d:/WoT"), "/p/dosdevices" + s + "d:" + s + "WoT");
    EXPECT_EQ(pathInWinePrefix("/p", "/already/here"), "/already/here");

    EXPECT_EQ(folderOfProgram("\"C:\\Lesta\\GameCenter\\lgc.exe\",0"), "C:\\Lesta\\GameCenter\\");
    EXPECT_EQ(folderOfProgram("C:\\Lesta\\lgc.exe,0"), "C:\\Lesta\\");
    EXPECT_EQ(folderOfProgram("lgc.exe"), "");
}
