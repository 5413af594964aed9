#ifndef VARNEL_CLI_EXIT_CODES_H_
#define VARNEL_CLI_EXIT_CODES_H_

namespace varnel {

// The exit codes of varnel-cli, the same for every subcommand.
inline constexpr int kExitDone = 0;    // the job ran to its end
inline constexpr int kExitFailed = 1;  // the job could not run, or some file failed
inline constexpr int kExitUsage = 2;   // the command line was wrong, or a question could not be asked

}  // namespace varnel

#endif  // VARNEL_CLI_EXIT_CODES_H_
