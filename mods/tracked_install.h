#pragma once

// Installing into the game so that it can be undone: files of someone else in the way are backed up,
// what was written is recorded (see install_record.h), and what Ravelin installed before and the new set
// no longer holds is taken out.

#include <string>
#include <vector>

#include "platform/file_set.h"
#include "platform/step_outcome.h"

#include "mods/mod_target.h"

class Reporter;

// Puts the files into the game as one set. A destination that is not Ravelin's is copied into "backups/"
// first; one Ravelin installed and someone changed since stops the install, named. Then every file
// Ravelin installed before that is not in the set is taken out (the other way of installing, an older
// version's folder). Failed with the reason (also logged) when nothing was installed, the game's files
// then as they were; done with leftovers, naming them, when the set went in but an older file could not
// be taken out or the record not written.
StepOutcome installTracked(const ModTarget& target, const std::vector<FileCopy>& files, Reporter& reporter);

// Takes out everything Ravelin installed and puts the backed-up files back; a file changed since Ravelin
// wrote it is left alone and named. Nothing changed when nothing was recorded; done with leftovers,
// naming them, when anything was left or failed.
StepOutcome uninstallAtlases(const ModTarget& target, Reporter& reporter);
