#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/shown_texts.h"
#include "platform/localized_text.h"
#include "ui/window_layout.h"
#include "win32_test_support.h"

namespace {

std::vector<std::string> everyLanguage() {
    std::vector<std::string> languages = catalogueLanguages();
    languages.insert(languages.begin(), "en");
    return languages;
}

// The text's extent in the font: on one line, or wrapped at width as a label wraps it.
SIZE textExtent(HFONT font, const std::wstring& text, int width, bool wrapped) {
    HDC context = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(context, font ? font : GetStockObject(SYSTEM_FONT));
    RECT rect{0, 0, width, 0};
    DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | (wrapped ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
    SelectObject(context, previous);
    DeleteDC(context);
    return {rect.right, rect.bottom};
}

std::vector<HWND> descendantsOf(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool isOfClass(HWND window, const wchar_t* name) {
    wchar_t windowClass[64] = {};
    GetClassNameW(window, windowClass, 64);
    return _wcsicmp(windowClass, name) == 0;
}

// No caption of the window is cut, measured in the font each control shows it in: a label's text,
// wrapped where the label wraps, stays inside the label; a button's fits inside its frame, a check box's
// beside its box; a drop-down list's choices fit beside its arrow.
void expectNoCaptionCut(HWND window, int buttonFrame = 10) {
    for (const HWND control : descendantsOf(window)) {
        if (!(styleOf(control) & WS_VISIBLE)) continue;  // the window itself need not be shown
        const std::wstring text = wideText(textOf(control));
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        RECT room{};
        GetClientRect(control, &room);
        const LONG_PTR style = styleOf(control);
        SCOPED_TRACE(utf8Text(text));
        if (isOfClass(control, L"Static") && !text.empty() && (style & SS_TYPEMASK) <= SS_RIGHT) {
            const SIZE extent = textExtent(font, text, room.right, true);
            EXPECT_LE(extent.cx, room.right);
            EXPECT_LE(extent.cy, room.bottom);
        } else if (isOfClass(control, L"Button") && !text.empty()) {
            const LONG_PTR type = style & BS_TYPEMASK;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                EXPECT_LE(textExtent(font, text, 0, false).cx, room.right - buttonFrame);
            } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
                EXPECT_LE(textExtent(font, text, 0, false).cx, room.right - 20);
            }
        } else if (isOfClass(control, WC_COMBOBOXW)) {
            const int choices = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < choices; ++i) {
                std::wstring choice(
                    static_cast<std::size_t>(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(choice.data()));
                choice.resize(choice.size() - 1);
                EXPECT_LE(textExtent(font, choice, 0, false).cx,
                          room.right - GetSystemMetrics(SM_CXVSCROLL) - 6)
                    << utf8Text(choice);
            }
        }
    }
}

// The title's width in the font of a tool window's title bar.
int toolTitleWidth(const std::string& title) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfSmCaptionFont);
    const int width = textExtent(font, wideText(title), 0, false).cx;
    DeleteObject(font);
    return width;
}

// The step's titles with the narrowest first and the widest last.
std::vector<std::string> progressTitlesByWidth() {
    std::vector<std::string> titles = progressTitles();
    std::sort(titles.begin(), titles.end(), [](const std::string& a, const std::string& b) {
        return toolTitleWidth(a) < toolTitleWidth(b);
    });
    return titles;
}

}  // namespace

// Every window once per language, English and every catalogue's: the main window, the overview, the
// chooser, and the progress window with the step's texts (in the narrowest window) and titles (the widest
// of them). Windows are shown only where they show themselves: under Wine without a window manager, a
// shown window takes two seconds to go.
TEST(Languages, NoCaptionIsCutInAnyWindow) {
    for (const std::string& language : everyLanguage()) {
        SCOPED_TRACE(language);
        ASSERT_EQ(chooseLanguage({language}), language);
        TestUi test;
        test.ui->openMainWindow();
        test.ui->refreshMainWindow(filledView());
        expectNoCaptionCut(test.ui->mainWindow()->handle());
        const std::unique_ptr<Win32IconOverviewWindow> overview = Win32IconOverviewWindow::create(
            nullptr, [](WindowEvent) {}, [](const std::string&) {});
        expectNoCaptionCut(overview->handle());
        wchar_t firstFilter[64] = {};
        SendMessageW(overview->control(Win32IconOverviewWindow::FilterChoice), CB_GETLBTEXT, 0,
                     reinterpret_cast<LPARAM>(firstFilter));
        EXPECT_EQ(utf8Text(firstFilter), localized(icon_overview::kFilterCaptions[0]));

        actOnChooser = [](Win32InstallationChooser& chooser) {
            expectNoCaptionCut(chooser.handle());
            click(chooser.cancelButton());
        };
        SetTimer(nullptr, 0, 10, actOnChooserOnceItRuns);
        EXPECT_EQ(test.ui->chooseInstallation({"WG EU 2.4.0.2 - C:\\Games\\World_of_Tanks_EU\\"}),
                  kChoseNothing);

        const std::vector<std::string> titles = progressTitlesByWidth();
        for (const std::string& title : {titles.front(), titles.back()}) {
            SCOPED_TRACE(title);
            test.ui->openProgressWindow(title);
            Win32ProgressWindow& window = *test.ui->progressWindow();
            const int width = clientSize(window.handle()).cx;
            EXPECT_LE(toolTitleWidth(title) + 8, width);
            if (language == "en") {
                EXPECT_EQ(width, progress_window::kClientWidth);  // the older client's
            }
            for (const std::string& text : progressTexts()) {
                test.ui->setProgressText(text);
                window.repaint();
                expectNoCaptionCut(window.handle());
            }
        }
        test.ui->closeProgressWindow();
    }
    chooseLanguage({"en"});
}

namespace {

// What the summary box's test expects and found, for the timer that looks at the box once it is up.
struct SummaryBoxCheck {
    std::string language;
    int ticksShown = 0;
    bool seen = false;
};
SummaryBoxCheck summaryBoxCheck;

HWND shownDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (!IsWindowVisible(window) || !isOfClass(window, L"#32770")) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Once the box has been up long enough to be drawn: its texts, its picture, then OK.
void CALLBACK lookAtSummaryBox(HWND, UINT, UINT_PTR timer, DWORD) {
    SummaryBoxCheck& check = summaryBoxCheck;
    const HWND box = shownDialog();
    if (!box || ++check.ticksShown < 10) return;
    KillTimer(nullptr, timer);
    check.seen = true;
    EXPECT_EQ(textOf(box), localized(build_summary::kTitleWithErrors));
    // Wine's box makes its buttons windows of their own; Windows draws them itself.
    std::vector<std::string> buttons;
    for (const HWND control : descendantsOf(box)) {
        if (isOfClass(control, L"Button")) buttons.push_back(textOf(control));
    }
    if (!buttons.empty()) {
        for (std::string_view caption : {build_summary::kOpenFolderCaption, build_summary::kShowIconsCaption})
            EXPECT_NE(std::find(buttons.begin(), buttons.end(), localized(caption)), buttons.end())
                << caption;
    }
    expectNoCaptionCut(box, 2);  // the box sizes its buttons itself, to their captions
    if (check.language != "en") saveScreenshot(box, ("win32-summary-" + check.language).c_str());
    SendMessageW(box, TDM_CLICK_BUTTON, IDOK, 0);
}

}  // namespace

// The real build summary box, not the suite's stand-in, in each language; its pictures are the gallery's.
TEST(Languages, TheBuildSummaryBoxSpeaksEachLanguage) {
    for (const std::string& language : everyLanguage()) {
        SCOPED_TRACE(language);
        ASSERT_EQ(chooseLanguage({language}), language);
        summaryBoxCheck = {language};
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, lookAtSummaryBox);
        NativeDialogs dialogs;
        EXPECT_EQ(dialogs.showSummary(nullptr, exampleBuildSummary("C:\\Games\\Ravelin\\")),
                  SummaryBoxButton::Ok);
        EXPECT_TRUE(summaryBoxCheck.seen);
        KillTimer(nullptr, timer);
    }
    chooseLanguage({"en"});
}
