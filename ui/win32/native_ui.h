#pragma once

// The Windows desktop program's windows and dialogs, without the Windows API in the includer's view.

#include <memory>

#include "ui/ui.h"

std::unique_ptr<DesktopUi> makeNativeUi();
