#pragma once

// The console's text is UTF-8 on every platform: Windows needs to be told so before the first output.
void useUtf8Console();
