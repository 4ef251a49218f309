#include "ui/win32/file_drops.h"

#include <shellapi.h>

#include "ui/win32/wide_text.h"

std::vector<std::string> takeDroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(utf8Text(path));
    }
    DragFinish(drop);
    return paths;
}
