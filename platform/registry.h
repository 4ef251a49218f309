#pragma once

// Reading the Windows registry, behind an interface so that tests hand in their own keys. Elsewhere the
// system's registry holds nothing.

#include <optional>
#include <string>
#include <vector>

enum class RegistryRoot { CurrentUser, LocalMachine };

class Registry {
public:
    virtual ~Registry() = default;

    // A text value (REG_SZ or REG_EXPAND_SZ, not expanded) of the key; the empty name is the key's default
    // value. None when the key or the value is missing or holds no text.
    virtual std::optional<std::string> textValue(RegistryRoot root, const std::string& key,
                                                 const std::string& name) const = 0;
    // The names of the key's subkeys; none when the key is missing.
    virtual std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) const = 0;
};

// The registry of the machine the program runs on (read only).
const Registry& systemRegistry();
