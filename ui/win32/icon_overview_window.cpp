#include "ui/win32/icon_overview_window.h"

#include <algorithm>
#include <tuple>

#include <shellapi.h>

#include "image/png_codec.h"
#include "platform/localized_text.h"
#include "ui/win32/file_drops.h"
#include "ui/win32/wide_text.h"

namespace {

using namespace icon_overview_window;

constexpr wchar_t kWindowClass[] = L"RavelinIconOverviewWindow";
// Sizable and maximisable; no minimise box, which an owned window would shrink to a stray title bar.
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kHalfWidth = 64;  // each of the two pictures
constexpr int kHalfHeight = 48;
constexpr int kPictureWidth = 2 * kHalfWidth + 4;
constexpr int kPictureHeight = kHalfHeight + 4;

// One icon scaled (nearest pixel; up to twice its size, down to fit) into its half of a premultiplied
// BGRA picture.
void drawInto(std::vector<std::uint32_t>& pixels, const std::string& path, int left) {
    const std::optional<Image> image = loadImage(path);
    if (!image) return;
    double scale = std::min(static_cast<double>(kHalfWidth) / image->width(),
                            static_cast<double>(kHalfHeight) / image->height());
    scale = std::min(scale, 2.0);
    if (scale > 1.0 && scale < 2.0) scale = 1.0;
    const int width = std::max(1, static_cast<int>(image->width() * scale));
    const int height = std::max(1, static_cast<int>(image->height() * scale));
    const int x0 = left + (kHalfWidth - width) / 2;
    const int y0 = 2 + (kHalfHeight - height) / 2;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            image->row(std::min(image->height() - 1, static_cast<std::int32_t>(y / scale)));
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + std::min(image->width() - 1, static_cast<std::int32_t>(x / scale)) *
                                              image->bytesPerPixel();
            const std::uint32_t alpha = image->bytesPerPixel() == 4 ? p[3] : 255;
            const auto premultiplied = [alpha](std::uint8_t value) { return value * alpha / 255; };
            pixels[static_cast<std::size_t>((y0 + y) * kPictureWidth + x0 + x)] =
                alpha << 24 | premultiplied(p[0]) << 16 | premultiplied(p[1]) << 8 | premultiplied(p[2]);
        }
    }
}

// The name cut in its middle to the width given, in the list-view's font: the list-view would wrap a long
// name and push the mark of the line below out of its cell.
std::wstring fittedName(HWND listView, const std::wstring& name, int width) {
    const HDC dc = GetDC(listView);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(listView, WM_GETFONT, 0, 0)));
    const auto fits = [dc, width](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= width;
    };
    std::wstring shown = name;
    for (std::size_t keep = name.size(); keep > 0 && !fits(shown); --keep) {
        const std::size_t front = (keep + 1) / 2;
        shown = name.substr(0, front) + L"\u2026" + name.substr(name.size() - (keep - front));
    }
    SelectObject(dc, previous);
    ReleaseDC(listView, dc);
    return shown;
}

HBITMAP pictureBitmap(const std::vector<std::uint32_t>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kPictureWidth;
    info.bmiHeader.biHeight = -kPictureHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    return bitmap;
}

}  // namespace

std::unique_ptr<Win32IconOverviewWindow> Win32IconOverviewWindow::create(HWND owner, EventSink sink,
                                                                         FolderOpener openFolder,
                                                                         OverviewWindowSize size) {
    std::unique_ptr<Win32IconOverviewWindow> window(
        new Win32IconOverviewWindow(std::move(sink), std::move(openFolder)));
    if (!window->createWindow(kWindowClass, localized(kTitle), kStyle, WS_EX_CONTROLPARENT, owner))
        return nullptr;
    const HWND handle = window->handle();
    DragAcceptFiles(handle, TRUE);  // icon packs dropped onto it are imported
    createControl(handle, L"STATIC", localized(kAtlasCaption), SS_LEFT | SS_NOPREFIX, Caption);
    createControl(handle, WC_COMBOBOXW, "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, AtlasChoice);
    createControl(handle, L"STATIC", localized(kFilterCaption), SS_LEFT | SS_NOPREFIX, Caption + 1);
    createControl(handle, WC_COMBOBOXW, "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, FilterChoice);
    for (std::string_view caption : icon_overview::kFilterCaptions)
        SendMessageW(window->control(FilterChoice), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideText(localized(caption)).c_str()));
    SendMessageW(window->control(FilterChoice), CB_SETCURSEL, 0, 0);
    createControl(handle, L"STATIC", localized(kSearchCaption), SS_LEFT | SS_NOPREFIX, Caption + 2);
    createControl(handle, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, SearchField, WS_EX_CLIENTEDGE);
    createControl(handle, WC_LISTVIEWW, "",
                  WS_TABSTOP | LVS_ICON | LVS_OWNERDATA | LVS_SINGLESEL | LVS_AUTOARRANGE, IconGrid,
                  WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyleEx(window->control(IconGrid), LVS_EX_INFOTIP, LVS_EX_INFOTIP);
    createControl(handle, L"STATIC", localized(kUnmatchedCaption), SS_LEFT | SS_NOPREFIX, Caption + 3);
    createControl(handle, L"STATIC", localized(kRefreshHint), SS_RIGHT | SS_NOPREFIX, Caption + 4);
    createControl(handle, L"LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, UnmatchedList,
                  WS_EX_CLIENTEDGE);
    window->pictures_ = ImageList_Create(kPictureWidth, kPictureHeight, ILC_COLOR32, 64, 64);
    window->forgetPictures();
    ListView_SetImageList(window->control(IconGrid), window->pictures_, LVSIL_NORMAL);

    // The size chosen last, within the minimum and the work area of the owner's monitor.
    const UINT dpi = windowDpi(handle);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    SIZE room{};
    if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : handle, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        const SIZE frame = window->frameSize();
        room = {
            MulDiv(monitor.rcWork.right - monitor.rcWork.left - frame.cx, kLayoutDpi, static_cast<int>(dpi)),
            MulDiv(monitor.rcWork.bottom - monitor.rcWork.top - frame.cy, kLayoutDpi, static_cast<int>(dpi))};
    }
    std::tie(window->clientWidth_, window->clientHeight_) =
        openingClientSize(size.width, size.height, room.cx, room.cy);
    window->openMaximized_ = size.maximized;
    window->layOut(dpi);
    centreWindow(handle, owner);
    return window;
}

Win32IconOverviewWindow::~Win32IconOverviewWindow() {
    if (handle_) ListView_SetImageList(control(IconGrid), nullptr, LVSIL_NORMAL);
    if (pictures_) ImageList_Destroy(pictures_);
}

SIZE Win32IconOverviewWindow::frameSize() const {
    RECT window{};
    RECT client{};
    GetWindowRect(handle_, &window);
    GetClientRect(handle_, &client);
    return {(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
}

void Win32IconOverviewWindow::layOut(UINT dpi) {
    const std::pair<HWND, ControlPlace> topRow[] = {
        {control(Caption), kAtlasCaptionPlace},
        {control(AtlasChoice), {kAtlasPlace.x, kAtlasPlace.y, kAtlasPlace.width, 200}},
        {control(static_cast<Control>(Caption + 1)), kFilterCaptionPlace},
        {control(FilterChoice), {kFilterPlace.x, kFilterPlace.y, kFilterPlace.width, 200}},
        {control(static_cast<Control>(Caption + 2)), kSearchCaptionPlace}};
    // A maximised window keeps its size; the size it has when restored is scaled by Windows.
    if (IsZoomed(handle_)) {
        moveControls(dpi, topRow);
    } else {
        placeControls(dpi, clientWidth_, clientHeight_, topRow);
    }
    useFont(captionFont(dpi, {}));
    arrange();
}

void Win32IconOverviewWindow::arrange() {
    const HWND grid = control(IconGrid);
    if (!grid) return;  // still being created
    const UINT dpi = windowDpi(handle_);
    RECT client{};
    GetClientRect(handle_, &client);
    const SizedPlaces places = sizedPlaces(MulDiv(client.right, kLayoutDpi, static_cast<int>(dpi)),
                                           MulDiv(client.bottom, kLayoutDpi, static_cast<int>(dpi)));
    const std::pair<HWND, ControlPlace> sized[] = {
        {control(SearchField), places.search},
        {grid, places.grid},
        {control(static_cast<Control>(Caption + 3)), places.unmatchedCaption},
        {control(static_cast<Control>(Caption + 4)), places.refreshHint},
        {control(UnmatchedList), places.unmatched}};
    moveControls(dpi, sized);
    fitColumns();
}

void Win32IconOverviewWindow::fitColumns() {
    const HWND grid = control(IconGrid);
    const UINT dpi = windowDpi(handle_);
    RECT inner{};
    GetClientRect(grid, &inner);
    // Less the vertical scroll bar even before it shows (the list adds it only once it arranged its rows),
    // so the columns never outgrow the list and call for a horizontal one.
    if (!(GetWindowLongPtrW(grid, GWL_STYLE) & WS_VSCROLL)) inner.right -= GetSystemMetrics(SM_CXVSCROLL);
    const int cellWidth = cellWidthFor(inner.right, scaled(kCellWidth, dpi));
    if (cellWidth == cellWidth_) return;
    cellWidth_ = cellWidth;
    ListView_SetIconSpacing(grid, cellWidth_, scaled(kCellHeight, dpi));
    ListView_Arrange(grid, LVA_DEFAULT);
    InvalidateRect(grid, nullptr, TRUE);
}

void Win32IconOverviewWindow::forgetPictures() {
    ImageList_RemoveAll(pictures_);
    pictureIndex_.clear();
    // Index 0: the empty frame rows show until their picture is there.
    std::vector<std::uint32_t> pixels(kPictureWidth * kPictureHeight, 0);
    const HBITMAP frame = pictureBitmap(pixels);
    ImageList_Add(pictures_, frame, nullptr);
    DeleteObject(frame);
}

int Win32IconOverviewWindow::pictureOf(const OverviewIcon& icon) {
    const std::string key = icon.defaultPath + '\n' + icon.replacementPath;
    const auto found = pictureIndex_.find(key);
    if (found != pictureIndex_.end()) return found->second;
    std::vector<std::uint32_t> pixels(kPictureWidth * kPictureHeight, 0);
    drawInto(pixels, icon.defaultPath, 0);
    if (!icon.replacementPath.empty()) drawInto(pixels, icon.replacementPath, kHalfWidth + 4);
    const HBITMAP bitmap = pictureBitmap(pixels);
    const int index = bitmap ? ImageList_Add(pictures_, bitmap, nullptr) : -1;
    if (bitmap) DeleteObject(bitmap);
    pictureIndex_[key] = std::max(index, 0);
    return std::max(index, 0);
}

const OverviewIcon* Win32IconOverviewWindow::iconAt(int row) const {
    const LRESULT atlas = SendMessageW(control(AtlasChoice), CB_GETCURSEL, 0, 0);
    if (atlas < 0 || static_cast<std::size_t>(atlas) >= view_.atlases.size() || row < 0 ||
        static_cast<std::size_t>(row) >= shown_.size())
        return nullptr;
    return &view_.atlases[static_cast<std::size_t>(atlas)].icons[shown_[static_cast<std::size_t>(row)]];
}

void Win32IconOverviewWindow::show(IconOverviewView view) {
    view_ = std::move(view);
    forgetPictures();
    const HWND atlases = control(AtlasChoice);
    LRESULT atlas = SendMessageW(atlases, CB_GETCURSEL, 0, 0);
    SendMessageW(atlases, CB_RESETCONTENT, 0, 0);
    for (const OverviewAtlas& each : view_.atlases)
        SendMessageW(atlases, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(each.title).c_str()));
    if (atlas < 0 || static_cast<std::size_t>(atlas) >= view_.atlases.size()) atlas = 0;
    SendMessageW(atlases, CB_SETCURSEL, static_cast<WPARAM>(atlas), 0);
    const HWND unmatched = control(UnmatchedList);
    SendMessageW(unmatched, LB_RESETCONTENT, 0, 0);
    for (const OverviewUnmatchedFile& file : view_.unmatched)
        SendMessageW(unmatched, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideText(icon_overview::unmatchedText(file)).c_str()));
    if (view_.filter)
        SendMessageW(control(FilterChoice), CB_SETCURSEL, static_cast<WPARAM>(*view_.filter), 0);
    showAtlas();
    ShowWindow(handle_, openMaximized_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    openMaximized_ = false;
    SetForegroundWindow(handle_);
}

OverviewWindowSize Win32IconOverviewWindow::chosenSize() const {
    return {clientWidth_, clientHeight_, IsZoomed(handle_) != FALSE};
}

void Win32IconOverviewWindow::showAtlas() {
    shown_.clear();
    const LRESULT atlas = SendMessageW(control(AtlasChoice), CB_GETCURSEL, 0, 0);
    if (atlas >= 0 && static_cast<std::size_t>(atlas) < view_.atlases.size()) {
        std::wstring search(static_cast<std::size_t>(GetWindowTextLengthW(control(SearchField))) + 1, L'\0');
        search.resize(static_cast<std::size_t>(
            GetWindowTextW(control(SearchField), search.data(), static_cast<int>(search.size()))));
        const auto filter =
            static_cast<icon_overview::Filter>(SendMessageW(control(FilterChoice), CB_GETCURSEL, 0, 0));
        shown_ = icon_overview::shownIcons(view_.atlases[static_cast<std::size_t>(atlas)], filter,
                                           utf8Text(search));
    }
    ListView_SetItemCountEx(control(IconGrid), static_cast<int>(shown_.size()), 0);
    InvalidateRect(control(IconGrid), nullptr, TRUE);
    fitColumns();  // the list's scroll bar may have come or gone
}

bool Win32IconOverviewWindow::takeKey(const MSG& message) const {
    if (message.message != WM_KEYDOWN || message.wParam != VK_F5) return false;
    if (message.hwnd != handle_ && !IsChild(handle_, message.hwnd)) return false;
    sink_(UiEvent::RefreshIconOverview);
    return true;
}

std::optional<LRESULT> Win32IconOverviewWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DROPFILES:
            if (std::vector<std::string> paths = takeDroppedFiles(reinterpret_cast<HDROP>(wParam));
                !paths.empty())
                sink_(WindowEvent(UiEvent::PathsDropped, std::move(paths)));
            return 0;
        case WM_CLOSE:
            ShowWindow(handle_, SW_HIDE);  // modeless: the next "Icons…" shows it again
            sink_(UiEvent::IconOverviewClosed);
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED) {
                // Kept in the layout's pixels; a size that gives the same pixels at this dpi stays as it was.
                const int dpi = static_cast<int>(windowDpi(handle_));
                if (scaled(clientWidth_, static_cast<UINT>(dpi)) != LOWORD(lParam))
                    clientWidth_ = MulDiv(LOWORD(lParam), kLayoutDpi, dpi);
                if (scaled(clientHeight_, static_cast<UINT>(dpi)) != HIWORD(lParam))
                    clientHeight_ = MulDiv(HIWORD(lParam), kLayoutDpi, dpi);
            }
            if (wParam != SIZE_MINIMIZED) arrange();
            return 0;
        case WM_GETMINMAXINFO: {
            const UINT dpi = windowDpi(handle_);
            const SIZE frame = frameSize();
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {
                scaled(kMinimumClientWidth, dpi) + frame.cx, scaled(kMinimumClientHeight, dpi) + frame.cy};
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {  // Escape, through the dialog-key path
                SendMessageW(handle_, WM_CLOSE, 0, 0);
                return 0;
            }
            if ((LOWORD(wParam) == AtlasChoice || LOWORD(wParam) == FilterChoice) &&
                HIWORD(wParam) == CBN_SELCHANGE) {
                showAtlas();
                return 0;
            }
            if (LOWORD(wParam) == SearchField && HIWORD(wParam) == EN_CHANGE) {
                showAtlas();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IconGrid) break;
            if (header->code == LVN_GETDISPINFOW) {
                LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
                const OverviewIcon* icon = iconAt(item.iItem);
                if (!icon) break;
                if (item.mask & LVIF_TEXT) {
                    constexpr int kLabelMargin = 16;  // the list-view's own padding around a label
                    textBuffer_ = fittedName(header->hwndFrom, wideText(icon->name),
                                             cellWidth_ - scaled(kLabelMargin, windowDpi(handle_))) +
                                  L"\n" + wideText(icon_overview::markText(*icon));
                    lstrcpynW(item.pszText, textBuffer_.c_str(), item.cchTextMax);
                }
                if (item.mask & LVIF_IMAGE) item.iImage = pictureOf(*icon);
                return 0;
            }
            if (header->code == LVN_GETINFOTIPW) {  // the name in full, as the label may cut it
                NMLVGETINFOTIPW& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
                const OverviewIcon* icon = iconAt(tip.iItem);
                if (icon && tip.pszText && tip.cchTextMax > 0)
                    lstrcpynW(tip.pszText, wideText(icon_overview::tooltipText(*icon)).c_str(),
                              tip.cchTextMax);
                return 0;
            }
            if (header->code == NM_DBLCLK) {
                const OverviewIcon* icon = iconAt(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
                if (icon) openFolder_(icon_overview::folderToOpen(*icon));
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return std::nullopt;
}
