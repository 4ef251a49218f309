#pragma once

// The game's mod packages (".wotmod"): a zip whose entries are stored without compression, with an entry
// for every folder (the game skips a package without them), an optional "meta.xml" naming the package,
// and the game's files under "res/". The game loads them from "mods/<folder>/".

#include <string>
#include <string_view>
#include <vector>

class Reporter;

struct ModPackageInfo {
    std::string id;  // "author.modname"
    std::string version;
    std::string name;
    std::string description;
};

struct ModPackageFile {
    std::string nameInGame;  // the path the game sees, below "res/" ("gui/flash/atlases/battleAtlas.xml")
    std::string sourcePath;  // the file whose content the entry gets
};

// The file name extension of the client's packages: ".mtmod" for Lesta's, else ".wotmod".
std::string_view modPackageExtension(const std::string& installDirectory);

// The package's "meta.xml": <root> with id, version, name and description, CR LF line ends.
std::string modPackageMetaXml(const ModPackageInfo& info);

// Writes the package: "meta.xml", then for each file every folder above it not written yet and the file,
// all stored, with one fixed time, so the same files give the same bytes. The package is replaced only
// when completely written; false with an error reported otherwise.
bool writeModPackage(const std::string& path, const ModPackageInfo& info,
                     const std::vector<ModPackageFile>& files, Reporter& reporter);
