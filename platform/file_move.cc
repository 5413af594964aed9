// The names of the temporaries that a move across devices writes, on every system.

#include <atomic>
#include <charconv>
#include <string>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/system.h"

namespace varnel {
namespace {

constexpr std::string_view kTemporaryPrefix = ".varnel-";
constexpr std::string_view kTemporarySuffix = ".tmp";
std::atomic<unsigned long long> next_temporary_number{0};

void AppendDecimal(std::string& text, unsigned long long value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, end);
}

// The name of this process's next temporary.
std::string NextTemporaryName(unsigned long long process_id) {
  std::string name(kTemporaryPrefix);
  AppendDecimal(name, process_id);
  name += '-';
  AppendDecimal(name, next_temporary_number++);
  name += kTemporarySuffix;
  return name;
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 20) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool IsMoveTemporaryName(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  const std::string_view numbers =
      name.substr(kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
  const std::size_t dash = numbers.find('-');
  return dash != std::string_view::npos && AllDigits(numbers.substr(0, dash)) && AllDigits(numbers.substr(dash + 1));
}

std::string NewTemporaryName() { return NextTemporaryName(CurrentProcessId()); }

}  // namespace varnel
