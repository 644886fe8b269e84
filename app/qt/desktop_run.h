#pragma once
// The desktop program from start-up to exit: the main window over the application object,
// until the window closes by any means (exit command, close box, window manager, SIGINT,
// SIGTERM). Needs the QApplication; returns the process's exit status.
#include <string>
#include <vector>

// args: the command-line arguments after the program name (a file to open and play);
// strExecutablePath: where the settings file is looked for.
int RunDesktop(const std::vector<std::string>& args, const std::string& strExecutablePath);

// The desktop program's exit status when there is no display to show its window on.
inline constexpr int kExitNoDisplay = 5;
