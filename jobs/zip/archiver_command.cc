#include "jobs/zip/archiver_command.h"

#include "platform/lower_case.h"

namespace varnel {

namespace {

std::string Concatenate(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

}  // namespace

std::string ZipBaseName(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos) return std::string(file_name);
  return std::string(file_name.substr(0, dot));
}

std::string ZipArchiveName(std::string_view file_name) { return ZipBaseName(file_name) + ".zip"; }

std::vector<std::string> ArchiverArguments(std::string_view archiver, std::string_view folder,
                                           std::string_view temporary, std::string_view file_name) {
  return {std::string(archiver),
          "a",
          Concatenate({folder, "/", kArchiveFolderName, "/", temporary}),
          "-tzip",
          "-spd",
          "-l",
          "-sse",
          Concatenate({folder, "/", file_name})};
}

std::string ArchiverCommandLine(std::string_view program, std::string_view folder, std::string_view temporary,
                                std::string_view file_name) {
  return Concatenate({program, " a \"", folder, "\\", kArchiveFolderName, "\\", temporary, "\" -tzip -spd -sse \"",
                      folder, "\\", file_name, "\""});
}

std::string CommandLineProgram(std::string_view archiver) {
  constexpr std::string_view kExtension = ".exe";
  if (archiver.size() < kExtension.size()) return std::string(archiver);
  const std::size_t stem = archiver.size() - kExtension.size();
  if (LowerCase(archiver.substr(stem)) != kExtension) return std::string(archiver);
  return std::string(archiver.substr(0, stem));
}

ProcessCommand ArchiverCommand(const std::string& archiver, std::string_view folder, std::string_view temporary,
                               std::string_view file_name) {
  ProcessCommand command;
  command.arguments = ArchiverArguments(archiver, folder, temporary, file_name);
  command.command_line = ArchiverCommandLine(CommandLineProgram(archiver), folder, temporary, file_name);
  command.show_mode = 0;  // SW_HIDE
  return command;
}

}  // namespace varnel
