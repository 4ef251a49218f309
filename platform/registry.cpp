#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/file_io.h"
#endif

namespace {

#ifdef _WIN32

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

std::wstring wide(const std::string& text) {
    return nativePath(text).wstring();
}

std::string utf8(const std::wstring& text) {
    return utf8PathText(std::filesystem::path(text));
}

UniqueKey openKey(RegistryRoot root, const std::string& key) {
    HKEY opened = nullptr;
    const HKEY base = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (RegOpenKeyExW(base, wide(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return nullptr;
    return UniqueKey(opened);
}

class WindowsRegistry : public Registry {
public:
    std::optional<std::string> textValue(RegistryRoot root, const std::string& key,
                                         const std::string& name) const override {
        const UniqueKey opened = openKey(root, key);
        if (!opened) return std::nullopt;
        const std::wstring valueName = wide(name);
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > 65536)
            return std::nullopt;
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        value.resize(bytes / sizeof(wchar_t));
        // Stored text may or may not end in a terminator.
        while (!value.empty() && value.back() == L'\0') value.pop_back();
        return utf8(value);
    }

    std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) const override {
        std::vector<std::string> names;
        const UniqueKey opened = openKey(root, key);
        if (!opened) return names;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD length = 256;
            if (RegEnumKeyExW(opened.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.push_back(utf8(std::wstring(name, length)));
        }
        return names;
    }
};

#else

class EmptyRegistry : public Registry {
public:
    std::optional<std::string> textValue(RegistryRoot, const std::string&,
                                         const std::string&) const override {
        return std::nullopt;
    }
    std::vector<std::string> subkeyNames(RegistryRoot, const std::string&) const override { return {}; }
};

#endif

}  // namespace

const Registry& systemRegistry() {
#ifdef _WIN32
    static const WindowsRegistry registry;
#else
    static const EmptyRegistry registry;
#endif
    return registry;
}
