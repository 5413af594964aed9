#ifndef VARNEL_CLI_EXIT_CODES_H_
#define VARNEL_CLI_EXIT_CODES_H_

namespace varnel {

// The exit codes of varnel-cli, the same for every subcommand.
inline constexpr int kExitDone = 0;    // the job ran to its end
inline constexpr int kExitFailed = 1;  // the job could not run, or some file failed
// The command line was wrong, a question could not be asked, or the configuration file named (or found)
// cannot be used.
inline constexpr int kExitUsage = 2;

}  // namespace varnel

#endif  // VARNEL_CLI_EXIT_CODES_H_
