#include "history/run_record.h"

#include <array>
#include <utility>

namespace varnel {

namespace {

constexpr std::array<std::pair<JobKind, std::string_view>, 6> kJobNames = {{
    {JobKind::kCleanDelete, "clean-delete"},
    {JobKind::kCleanMove, "clean-move"},
    {JobKind::kCleanTrash, "clean-trash"},
    {JobKind::kAlpha, "alpha"},
    {JobKind::kZip, "zip"},
    {JobKind::kUndo, "undo"},
}};

constexpr std::array<std::pair<FileAction, std::string_view>, 5> kActionNames = {{
    {FileAction::kDelete, "delete"},
    {FileAction::kMove, "move"},
    {FileAction::kTrash, "trash"},
    {FileAction::kUntrash, "untrash"},
    {FileAction::kZip, "zip"},
}};

template <typename Kind, std::size_t kCount>
std::string_view NameOf(const std::array<std::pair<Kind, std::string_view>, kCount>& names, Kind kind) {
  for (const auto& [each, name] : names) {
    if (each == kind) return name;
  }
  return {};
}

template <typename Kind, std::size_t kCount>
std::optional<Kind> KindOf(const std::array<std::pair<Kind, std::string_view>, kCount>& names, std::string_view name) {
  for (const auto& [kind, each] : names) {
    if (each == name) return kind;
  }
  return std::nullopt;
}

}  // namespace

std::string_view JobName(JobKind job) { return NameOf(kJobNames, job); }
std::optional<JobKind> JobOfName(std::string_view name) { return KindOf(kJobNames, name); }
std::string_view ActionName(FileAction action) { return NameOf(kActionNames, action); }
std::optional<FileAction> ActionOfName(std::string_view name) { return KindOf(kActionNames, name); }

}  // namespace varnel
