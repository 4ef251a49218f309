#pragma once

// Runs a check in a child process that, when the tests run as root, has given up its privileges (user
// and group "nobody"), so file permissions hold as they do for a modder. Returns whether the child's
// body returned true.

#include <functional>

bool runUnprivileged(const std::function<bool()>& body);
