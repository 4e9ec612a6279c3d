#pragma once
// Ending the own process at once with an exit status: no clean-up of the
// framework runs. Tests install their own function to watch the close path.

#include <functional>

using ExitFunction = std::function<void(int status)>;

// Ends the process through the installed function (by default _exit).
void ExitProcessNow(int status);
// Installs a function (none: _exit again).
void SetExitFunction(ExitFunction function);
