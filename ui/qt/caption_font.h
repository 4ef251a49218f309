#pragma once

#include <QFont>
#include <QString>
#include <utility>
#include <vector>

// The font of every control: Liberation Sans Narrow at 9 pt where installed, else the default family,
// made smaller in half points (not below 7.5 pt) until every caption fits the width it is given.
QFont captionFont(const std::vector<std::pair<QString, int>>& captionsAndWidths);

// The program's captions with the widths their controls give them.
std::vector<std::pair<QString, int>> mainWindowCaptions();
