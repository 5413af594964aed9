#ifndef VARNEL_SETTINGS_LOG_OPENER_H_
#define VARNEL_SETTINGS_LOG_OPENER_H_

#include <QString>
#include <string>
#include <string_view>

class QProcess;
class QWidget;

namespace varnel {

// The program that opens a file in the desktop's application for its type (outside Windows).
inline constexpr char kDesktopOpener[] = "xdg-open";

// The exit codes of xdg-open that have a reason of their own.
inline constexpr int kOpenerNoProgram = 3;
inline constexpr int kOpenerActionFailed = 4;

// The absolute path `path` (bytes) as a "file://" URL: every byte but ASCII letters, digits, "-", ".", "_", "~"
// and "/" written "%HH", so that a name that is not UTF-8 reaches the opener byte for byte.
std::string FileUrl(std::string_view path);

// What the user is told when the opener ended with the non-zero `exit_code` over the file `path`:
// "Cannot open <path>: " and the reason (no program for the file's type, 3; that program failed, 4; any other
// code, by its number).
QString OpenerFailedMessage(const QString& path, int exit_code);
// The same when the opener could not be started at all.
QString OpenerNotStartedMessage(const QString& path);

// Opens the log at `path` for the user without waiting for it: notepad on Windows; elsewhere `opener` started
// with the log's file URL, its output the program's own. The opener is never waited for nor ended by Varnel; once
// it ends, a failure is said in a message box (exclamation icon) over `window` while that is still shown. Returns
// the opener's process, which deletes itself once it has ended or failed to start; nullptr on Windows.
QProcess* OpenLogInEditor(const std::string& path, QWidget* window = nullptr,
                          const std::string& opener = kDesktopOpener);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_LOG_OPENER_H_
