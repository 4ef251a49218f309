#pragma once

// The report page: one self-contained HTML file with the icon states, the counts, the files that match
// no icon, and the icons' pictures embedded, so that it can be mailed or attached to a forum post as it
// is. Pictures are embedded for the icons that have a replacement (beside their default) and for the new
// icons; the icons left at their default are listed by name, which keeps the page small. It names files
// by their names alone and the replacement folder as pathShownToOthers shows it, so that a page posted on
// a forum gives away no user's folder names.

#include <string>

struct IconStateModel;

std::string iconStateReportHtml(const IconStateModel& model, const std::string& gameVersion,
                                const std::string& workingDirectory, const std::string& homeDirectory);
