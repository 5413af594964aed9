#include "cli/plan_output.h"

#include "history/history_text.h"
#include "history/json_line.h"

namespace varnel {

std::string_view ReasonCode(const PlannedFile& file) {
  switch (file.verdict) {
    case FileVerdict::kGoing: {
      static constexpr std::string_view kDigits = "12345678";
      const int code = static_cast<int>(file.reason);
      return code >= 1 && code <= 8 ? kDigits.substr(static_cast<std::size_t>(code - 1), 1) : std::string_view();
    }
    case FileVerdict::kKeptByList:
      return "K";
    case FileVerdict::kKept:
    case FileVerdict::kBestTranslation:
      break;
  }
  return {};
}

void AppendPlanLine(const CleaningPlan& plan, std::uint32_t listed, PlanFormat format, std::string* out) {
  const PlannedFile& file = plan.files[listed];
  const std::string_view name = plan.listing[listed];
  const std::string_view title = plan.groups[file.group].title;
  const std::string_view decision = file.verdict == FileVerdict::kGoing ? "going" : "kept";
  const std::string_view winner = file.winner == kNoIndex ? std::string_view() : plan.listing[file.winner];
  if (format == PlanFormat::kJson) {
    JsonLine(out)
        .Text("name", name)
        .Text("title", title)
        .Text("decision", decision)
        .Text("reason", ReasonCode(file))
        .Text("winner", winner)
        .End();
    return;
  }
  out->append(PrintableText(name)).push_back('\t');
  out->append(PrintableText(title)).push_back('\t');
  out->append(decision).push_back('\t');
  out->append(ReasonCode(file)).push_back('\t');
  out->append(PrintableText(winner)).push_back('\n');
}

}  // namespace varnel
