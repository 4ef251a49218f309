#pragma once

#include <QFont>
#include <QString>

// The font of a control: the system's default GUI font, made smaller in half points (not below 7 pt)
// only while the control's caption does not fit the width it is given.
QFont captionFont(const QFont& systemFont, const QString& caption, int width);
