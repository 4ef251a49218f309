#pragma once

// The program's main jobs without windows, for ravelin-cli: the same steps, files, settings and log as
// the desktop program, one job per run.

#include <string>
#include <vector>

#include "app/pack_import.h"
#include "game/installation_search.h"

class Ui;

enum class HeadlessCommand {
    Setup,           // first start: check the game directory, create the working directories, unpack, extract
    Update,          // unpack and extract again from the remembered game directory; remember its version
    UpdateInstall,   // the same, then build and install: the one step after a patch (update --install)
    Icons,           // make a directory the new contour icon directory and count its icons
    Build,           // "Create Atlases": marker atlas, then battle atlas
    Install,         // copy the new atlases into the game's mod directory
    InstallPackage,  // the same as the game's mod package in its folder of packages
    Package,         // write the new atlases as the game's mod package
    Uninstall,       // take out what Ravelin installed, put back what it replaced
    Status,          // what the main window would show
    Games,           // the game installations found on this machine
    Report,          // the report page of the icon states
    Import,          // icon packs into the new icon directory (or another folder)
    Conflicts,       // the other mods that ship the atlases, and which copy the game shows
};

// The report page's file when the command names none, in the working directory.
inline constexpr const char* kDefaultReportFileName = "ravelin-report.html";

struct HeadlessOutcome {
    bool succeeded = false;
    std::string reason;  // one line in the user's language, when the job failed
    // On success the status text, one line saying what the job did, or the games found; the build summary
    // also after a failed build, and setup's and update's line, with the count of errors and the first,
    // also when they ran to their end with errors; on needsChoice the games found.
    std::string report;
    std::string notes;         // lines for the caller besides the report (records of installations skipped)
    bool needsChoice = false;  // setup found several installations and needs one named
    bool conflictsFound = false;  // conflicts found another mod's atlas
};

// Runs one job in the working directory. The job fails on a fatal error, the error exit, or the first
// error entry of the log, whose text becomes the reason (a build: when its outcome says so, with its reason);
// before setup the reason says to run it. Setup takes the game directory as its argument (empty: the only
// installation found in the places given), Icons the icon directory, Package the package's path and Report
// the page's file (empty: the default name in the working directory); paths are absolute, as the caller
// resolved them. Games lists what was found, one installation a line: path, client, realm and version
// separated by tabs. Status, Report and Conflicts only read what is there and leave the log alone; Conflicts
// reports one line per other mod's atlas, and fails on a file it cannot read. Install reports the other
// mods' atlases after its line.
HeadlessOutcome runHeadlessCommand(HeadlessCommand command, const std::string& argument, Ui& ui,
                                   const SearchPlaces& places = systemSearchPlaces());
// Import, a job of its own shape: the summary is the report, also after an import that met errors.
HeadlessOutcome runImportCommand(const ImportRequest& request, Ui& ui);
