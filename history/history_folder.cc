#include "history/history_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/well_known_names.h"
#include "platform/file_ops.h"
#include "platform/listing.h"
#include "platform/program_folder.h"

namespace varnel {

namespace {

constexpr std::string_view kRunFileExtension = ".jsonl";
constexpr std::size_t kStampLength = 15;  // "YYYYMMDD-HHMMSS"

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number of a run within its second: 1 for an id without suffix.
long RunNumber(std::string_view id) {
  return id.size() > kStampLength ? std::strtol(std::string(id.substr(kStampLength + 1)).c_str(), nullptr, 10) : 1;
}

// Days from 1970-01-01 to the date given (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468;
}

// The value of the digits text[at, at + count); -1 when one is no digit.
int DigitsAt(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size() || !AllDigits(text.substr(at, count))) return -1;
  return std::atoi(std::string(text.substr(at, count)).c_str());
}

}  // namespace

std::string HistoryFolderPath() {
  const std::string folder = StateFolderPath();
  return folder.empty() ? folder : JoinPath(folder, kHistoryFolderName);
}

bool IsRunId(std::string_view text) {
  if (text.size() < kStampLength || text[8] != '-' || !AllDigits(text.substr(0, 8)) || !AllDigits(text.substr(9, 6))) {
    return false;
  }
  if (text.size() == kStampLength) return true;
  const std::string_view number = text.substr(kStampLength + 1);
  return text[kStampLength] == '-' && number.size() <= 6 && AllDigits(number) && number[0] != '0' && number != "1";
}

bool RunIdBefore(std::string_view a, std::string_view b) {
  const int stamps = a.substr(0, kStampLength).compare(b.substr(0, kStampLength));
  if (stamps != 0) return stamps < 0;
  return RunNumber(a) < RunNumber(b);
}

std::string RunIdOf(std::string_view stamp, int n) {
  std::string id(stamp);
  if (n > 1) id += '-' + std::to_string(n);
  return id;
}

std::string RunFilePath(const std::string& folder, std::string_view id) {
  std::string name(id);
  name += kRunFileExtension;
  return JoinPath(folder, name);
}

RunTime RunTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
  std::tm copy = local;
  const std::time_t local_as_utc = _mkgmtime(&copy);
#else
  localtime_r(&now, &local);
  std::tm copy = local;
  const std::time_t local_as_utc = timegm(&copy);
#endif
  const long offset_minutes = static_cast<long>(local_as_utc - now) / 60;  // east of UTC
  const long offset = offset_minutes < 0 ? -offset_minutes : offset_minutes;
  char stamp[64], iso[96];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset_minutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  return RunTime{stamp, iso};
}

std::string_view LocalTimeOf(std::string_view iso) { return iso.substr(0, 19); }

bool SecondsSinceEpoch(std::string_view iso, std::int64_t* seconds) {
  // "YYYY-MM-DDTHH:MM:SS+HH:MM"
  if (iso.size() != 25 || iso[4] != '-' || iso[7] != '-' || iso[10] != 'T' || iso[13] != ':' || iso[16] != ':' ||
      (iso[19] != '+' && iso[19] != '-') || iso[22] != ':') {
    return false;
  }
  const int year = DigitsAt(iso, 0, 4), month = DigitsAt(iso, 5, 2), day = DigitsAt(iso, 8, 2);
  const int hour = DigitsAt(iso, 11, 2), minute = DigitsAt(iso, 14, 2), second = DigitsAt(iso, 17, 2);
  const int offset_hours = DigitsAt(iso, 20, 2), offset_minutes = DigitsAt(iso, 23, 2);
  if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || minute < 0 || second < 0 ||
      offset_hours < 0 || offset_minutes < 0) {
    return false;
  }
  const std::int64_t offset = (offset_hours * 60 + offset_minutes) * 60 * (iso[19] == '-' ? -1 : 1);
  *seconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600 +
             minute * 60 + second - offset;
  return true;
}

Status ListRuns(const std::string& folder, std::vector<std::string>* ids) {
  ids->clear();
  if (!PathExists(folder)) return Status::Ok();
  std::vector<std::string> names;
  const Status status = ListOrdinaryFiles(folder, &names);
  for (std::string& name : names) {
    if (name.size() <= kRunFileExtension.size() ||
        name.compare(name.size() - kRunFileExtension.size(), kRunFileExtension.size(), kRunFileExtension) != 0) {
      continue;
    }
    name.resize(name.size() - kRunFileExtension.size());
    if (IsRunId(name)) ids->push_back(std::move(name));
  }
  std::sort(ids->begin(), ids->end(), [](const std::string& a, const std::string& b) { return RunIdBefore(b, a); });
  return status;
}

Status ForgetRun(const std::string& folder, std::string_view id) { return RemoveFile(RunFilePath(folder, id)); }

void KeepNewestRuns(const std::string& folder, std::size_t keep) {
  std::vector<std::string> ids;
  if (!ListRuns(folder, &ids).ok()) return;
  // A run that cannot be removed stays: the next run tries again.
  for (std::size_t i = keep; i < ids.size(); ++i) ForgetRun(folder, ids[i]).IgnoreError();
}

}  // namespace varnel
