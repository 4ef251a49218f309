#include "atlas/icon_state_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/icon_state_views.h"
#include "atlas/icon_states.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_context.h"

namespace {

std::vector<std::uint8_t> fromBase64(const std::string& text) {
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<std::uint8_t> bytes;
    std::uint32_t group = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=') break;
        group = group << 6 | static_cast<std::uint32_t>(digits.find(c));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(group >> bits & 0xff));
        }
    }
    return bytes;
}

// Chromium where the machine has it (Debian's package), for rendering the page as a browser does.
std::string chromiumPath() {
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "";
    for (std::size_t start = 0; start <= directories.size();) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        for (const char* name : {"chromium", "chromium-browser"}) {
            const std::filesystem::path candidate =
                std::filesystem::path(directories.substr(start, end - start)) / name;
            if (std::filesystem::exists(candidate)) return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

struct ReportTest : ::testing::Test {
    TestContext t;
    std::string html;

    void SetUp() override {
        t.useWorkingDirectoryLayout();
        writeFileText("battleatlas.dat",
                      "same,6,4\r\nwider,6,4\r\nbroken,6,4\r\nplain,6,4\r\nfresh,6,4\r\nA&B,6,4\r\n"
                      "empty,6,4\r\n");
        writeFileText("battleatlas-new.dat", "fresh\r\n");
        for (const char* name : {"same", "wider", "broken", "plain", "fresh", "A&B", "empty"})
            ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(6, 4, 1),
                                     std::string("defaultBattleImages/") + name + ".png"));
        ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(6, 4, 2), "newTankImages/same.png"));
        ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(8, 4, 3), "newTankImages/wider.png"));
        writeFileText("newTankImages/broken.png", "not a PNG");
        writeFileText("newTankImages/empty.png", "");
        ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(6, 4, 4), "newTankImages/freshh.png"));
        const IconStateModel model = currentIconStates(t.settings);
        html = iconStateReportHtml(model, "1.2 <beta>", t.settings.acCurrentDir, "");
    }
};

}  // namespace

TEST_F(ReportTest, PageHoldsTheStatesAndTheFilesThemselves) {
    EXPECT_NE(html.find("Game version 1.2 &lt;beta&gt;"), std::string::npos);
    EXPECT_NE(
        html.find("7 icons, 2 replaced, 1 unreadable replacement, 1 empty file, 1 of another size, 1 new"),
        std::string::npos);
    EXPECT_NE(html.find("<figure class=\"EmptyReplacement\">"), std::string::npos);
    EXPECT_NE(html.find("empty<span class=\"mark\">empty file, the default icon is used</span>"),
              std::string::npos);
    // No folder of the user's: the replacement folder relative to the working directory, files by name.
    EXPECT_EQ(html.find(t.directory.text()), std::string::npos);
    EXPECT_NE(html.find("replacement icons from newTankImages" + std::string(1, kPathSeparator) + "</p>"),
              std::string::npos);
    EXPECT_NE(html.find("wider<span class=\"mark\">other size: 8 x 4 instead of 6 x 4</span>"),
              std::string::npos);
    EXPECT_NE(html.find("<summary>2 icons at their default</summary><p>plain, A&amp;B</p>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>freshh.png</td><td>fresh</td>"), std::string::npos);
    EXPECT_NE(html.find("No icon list"), std::string::npos);  // no marker catalogue
    // Every embedded picture is one of the files, byte for byte: defaults of the five shown icons, two
    // replacements, the unmatched file.
    const std::string embedded = "src=\"data:image/png;base64,";
    std::vector<std::vector<std::uint8_t>> pictures;
    for (std::size_t at = html.find(embedded); at != std::string::npos; at = html.find(embedded, at)) {
        at += embedded.size();
        pictures.push_back(fromBase64(html.substr(at, html.find('"', at) - at)));
    }
    ASSERT_EQ(pictures.size(), 5u + 2u + 1u);
    EXPECT_EQ(pictures[0], readFileBytes("defaultBattleImages/same.png"));
    EXPECT_EQ(pictures[1], readFileBytes("newTankImages/same.png"));
    EXPECT_EQ(pictures.back(), readFileBytes("newTankImages/freshh.png"));
}

TEST_F(ReportTest, ChromiumShowsTheTextAndDecodesEveryPicture) {
    const std::string chromium = chromiumPath();
    if (chromium.empty()) GTEST_SKIP() << "no chromium on this machine";
    // The page itself runs no script; a copy gets one that counts the pictures the browser decoded.
    writeFileText(
        "report.html",
        html +
            "<script>addEventListener('load',()=>{const images=[...document.images];"
            "document.body.dataset.decoded=images.filter(i=>i.complete&&i.naturalWidth>0).length+'/'"
            "+images.length;document.body.dataset.text=document.body.innerText.includes("
            "'2 replaced')});</script>");
    const std::string command = chromium +
                                " --headless --no-sandbox --disable-gpu --disable-background-networking"
                                " --disable-component-update --disable-sync --no-first-run --user-data-dir=" +
                                t.directory.text() +
                                "chromium-profile --virtual-time-budget=5000 --dump-dom file://" +
                                t.directory.text() + "report.html > dom.html 2> chromium.log";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFileText("chromium.log");
    const std::string dom = readFileText("dom.html");
    EXPECT_NE(dom.find("data-decoded=\"8/8\""), std::string::npos) << dom.substr(0, 2000);
    EXPECT_NE(dom.find("data-text=\"true\""), std::string::npos);
}
