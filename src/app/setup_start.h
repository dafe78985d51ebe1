// What setup decides from its command line before any window: the answer to /? or to a bad
// command line, the log that /LOG asks for, the report of another run, and the exit code in
// which setup ends. Messages go to a box with setup's title, unless /SUPPRESSMSGBOXES,
// and to the log.
#pragma once

#include "command_line.h"

#include <windows.h>

#include <string>

namespace app {

// /? or a command line that cannot be used: the text goes to the console that started setup,
// else into a box. Returns the exit code.
int AnswerCommandLine(const ParsedCommandLine& commandLine);

// Opens the log of /LOG as install::TheLog(); false, after saying why, when it cannot be.
bool OpenRequestedLog(const SetupOptions& options);

// Logs a message and shows it in a box unless the options suppress boxes.
void Tell(const SetupOptions& options, const std::string& text, UINT icon);

// Another setup or uninstaller of this program holds the lock: says so and returns its exit code.
int ReportAnotherRun(const SetupOptions& options);

// The exit code in which setup ends on a way out of the wizard, or after an unexpected error
// (`failed`): the run's result once it has written something, else cancelled or failed before
// anything was written. It is logged.
int ExitCodeAtEnd(bool failed);

}  // namespace app
