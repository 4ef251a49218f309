#pragma once

#include <QFont>
#include <QString>
#include <utility>
#include <vector>

// The font of a group of controls (the four labels, the status line, a button): the system's default GUI
// font, made smaller in half points (not below 7 pt) only while one of their captions does not fit the
// width it is given.
QFont captionFont(const QFont& systemFont, const std::vector<std::pair<QString, int>>& captionsAndWidths);
