#ifndef VARNEL_UI_RUN_VARNEL_H_
#define VARNEL_UI_RUN_VARNEL_H_

namespace varnel {

// The desktop program: builds the application and its windows and runs until the program ends; returns
// the process's exit code.
int RunVarnel(int argc, char** argv);

}  // namespace varnel

#endif  // VARNEL_UI_RUN_VARNEL_H_
