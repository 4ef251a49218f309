#pragma once

#include <string>
#include <string_view>

class Reporter;

// The game's client version. The launcher configuration installDirectory + "WoTLauncher.cfg" names it:
// the text between "<client_ver>" and "</client_ver>" (any letter case) on the first line that holds the
// opening marker, without blanks around it. Today's clients may leave it out; then the game's "version.xml"
// names it in its "<version>" element (" v.2.4.0.2 #966 " gives "2.4.0.2"). The empty text when neither names
// it; an error is reported when the launcher configuration cannot be read and "version.xml" gives nothing,
// and when the version found is no usable folder name (the empty text is returned then). Each file is read
// only when it is a regular file of at most 1 MiB.
std::string readClientVersion(const std::string& installDirectory, Reporter& reporter);

// The version in the text of a "<version>" element: without surrounding blanks and tabs, a leading "v."
// and whatever follows the first blank.
std::string versionFromVersionElement(std::string_view element);
