#ifndef VARNEL_APP_RUN_VARNEL_H_
#define VARNEL_APP_RUN_VARNEL_H_

#include <memory>

namespace varnel {

class FormShell;
class StopSignalNotifier;

// Registers the four windows of the program with `shell`; the menu's EndRequested() ends the application's
// event loop, and a window loaded again takes the language applied last.
void RegisterVarnelForms(FormShell& shell);

// Catches the requests to stop (SIGINT, SIGTERM, SIGHUP) for as long as the result lives: each ends the
// program through `shell` without asking anything, a running zip job and its archiver included.
std::unique_ptr<StopSignalNotifier> EndProgramOnStopSignals(FormShell& shell);

// The desktop program: builds the application and its windows and runs until the program ends; returns
// the process's exit code.
int RunVarnel(int argc, char** argv);

}  // namespace varnel

#endif  // VARNEL_APP_RUN_VARNEL_H_
