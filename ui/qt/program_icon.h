#pragma once

#include <QIcon>

// The program's icon, drawn at the sizes a desktop asks for.
QIcon programIcon();
