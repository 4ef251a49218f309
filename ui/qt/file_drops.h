#pragma once

// Files and folders dropped onto a window: the window takes drops of local files anywhere on it (its
// controls leave them to it) and hands their paths on, absolute and in the order dropped.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

using DroppedPathsSink = std::function<void(std::vector<std::string> paths)>;

// The local files and folders the data names; empty when it names none.
std::vector<std::string> droppedLocalPaths(const QMimeData* data);

// Installs the drop handling on the window, which owns it.
void acceptFileDrops(QWidget& window, DroppedPathsSink sink);
