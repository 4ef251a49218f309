#pragma once

// A registry for tests: text values and subkeys set by the test, nothing else.

#include <map>
#include <set>
#include <tuple>

#include "platform/registry.h"

class FakeRegistry : public Registry {
public:
    void set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value) {
        values_[{root, key, name}] = value;
        // Every key on the way exists as the subkey of its parent.
        for (std::size_t end = key.rfind('\\'); end != std::string::npos; end = key.rfind('\\', end - 1)) {
            subkeys_[{root, key.substr(0, end)}].insert(
                key.substr(end + 1, key.find('\\', end + 1) - end - 1));
            if (end == 0) break;
        }
    }

    std::optional<std::string> textValue(RegistryRoot root, const std::string& key,
                                         const std::string& name) const override {
        const auto found = values_.find({root, key, name});
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }
    std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) const override {
        const auto found = subkeys_.find({root, key});
        if (found == subkeys_.end()) return {};
        return {found->second.begin(), found->second.end()};
    }

private:
    std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> values_;
    std::map<std::pair<RegistryRoot, std::string>, std::set<std::string>> subkeys_;
};
