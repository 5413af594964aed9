// The history's files: the records as written and read back, run ids, the folder's limits, the texts printed.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "history/history_folder.h"
#include "history/history_text.h"
#include "history/json_line.h"
#include "history/run_history.h"
#include "history/run_recorder.h"
#include "history/undo.h"
#include "platform/file_ops.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace varnel {
namespace {

std::string JsonOf(std::string_view bytes) {
  std::string line;
  JsonLine(&line).Text("name", bytes).End();
  return line;
}

TEST(JsonLineTest, EscapesAsRfc8259AndKeepsBytesThatAreNotUtf8InHex) {
  const struct {
    std::string bytes;
    std::string line;
  } kCases[] = {
      {"plain (E).nes", R"({"name":"plain (E).nes"})"},
      {"quote\" back\\slash", R"({"name":"quote\" back\\slash"})"},
      {"tab\tcr\rlf\n", R"({"name":"tab\tcr\rlf\n"})"},
      {std::string("nul\0bell\x07 del\x7F", 14), R"({"name":"nul\u0000bell\u0007 del)"
                                                 "\x7F\"}"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAE", "{\"name\":\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAE\"}"},
      {"caf\xE9", R"({"name_hex":"636166E9"})"},           // Latin-1
      {"\xC0\xAF", R"({"name_hex":"C0AF"})"},              // an overlong "/"
      {"\xED\xA0\x80", R"({"name_hex":"EDA080"})"},        // a surrogate
      {"cut \xE2\x82", R"({"name_hex":"63757420E282"})"},  // a sequence cut short
      {"", R"({"name":""})"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(JsonOf(c.bytes), c.line + "\n") << c.line;
    // Every line is JSON that a strict parser takes.
    EXPECT_FALSE(nlohmann::json::parse(JsonOf(c.bytes), nullptr, false).is_discarded()) << c.line;
  }
}

TEST(JsonLineTest, WritesNumbersFlagsAndObjects) {
  std::string line;
  JsonLine(&line)
      .Integer("a", -5)
      .Unsigned("b", 18446744073709551615ull)
      .Flag("c", true)
      .BeginObject("d")
      .Flag("e", false)
      .Text("f", "x")
      .EndObject()
      .Integer("g", 0)
      .End();
  EXPECT_EQ(line, R"({"a":-5,"b":18446744073709551615,"c":true,"d":{"e":false,"f":"x"},"g":0})"
                  "\n");
}

TEST(RunIdTest, TellsIdsAndOrdersThem) {
  for (const char* id : {"20261206-182034", "20261206-182034-2", "20261206-182034-10", "20261206-182034-999999"}) {
    EXPECT_TRUE(IsRunId(id)) << id;
  }
  for (const char* id : {"", "20261206182034", "20261206-18203", "20261206-182034-", "20261206-182034-1",
                         "20261206-182034-02", "20261206-182034-1000000", "../20261206-182034", "20261206-182034.jsonl",
                         "2026120a-182034", "20261206-182034-2x"}) {
    EXPECT_FALSE(IsRunId(id)) << id;
  }
  const std::vector<std::string> ordered = {"20251231-235959-3", "20261206-182034", "20261206-182034-2",
                                            "20261206-182034-10", "20261206-182035"};
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_TRUE(RunIdBefore(ordered[i], ordered[i + 1])) << ordered[i];
    EXPECT_FALSE(RunIdBefore(ordered[i + 1], ordered[i])) << ordered[i];
  }
}

TEST(RunIdTest, ReadsTimesBackInUtc) {
  const struct {
    const char* iso;
    std::int64_t seconds;
  } kCases[] = {
      {"1970-01-01T00:00:00+00:00", 0},
      {"2026-12-06T18:20:34+01:00", 1796577634},
      {"2026-12-06T12:20:34-05:00", 1796577634},
      {"2024-02-29T23:59:59+00:00", 1709251199},
  };
  for (const auto& c : kCases) {
    std::int64_t seconds = -1;
    EXPECT_TRUE(SecondsSinceEpoch(c.iso, &seconds)) << c.iso;
    EXPECT_EQ(seconds, c.seconds) << c.iso;
  }
  std::int64_t seconds = 0;
  EXPECT_FALSE(SecondsSinceEpoch("2026-12-06T18:20:34", &seconds));
  EXPECT_FALSE(SecondsSinceEpoch("2026-13-06T18:20:34+01:00", &seconds));
  const RunTime now = RunTimeNow();
  EXPECT_TRUE(IsRunId(now.stamp)) << now.stamp;
  ASSERT_TRUE(SecondsSinceEpoch(now.iso, &seconds)) << now.iso;
  EXPECT_EQ(LocalTimeOf(now.iso).substr(0, 4), now.stamp.substr(0, 4));
}

// A run recorded with every kind of record comes back as it was written, names that are not UTF-8 included.
TEST(RunRecorderTest, WhatIsWrittenIsReadBack) {
  TempFolder history, roms;
  const std::string odd = "caf\xE9\t\"x\"\\.nes";
  RunRecorder recorder;
  ASSERT_TRUE(recorder
                  .Start(HistoryPlace::In(history.path()), JobKind::kCleanMove, roms.path(),
                         RecordedSettings().Text("zones", "(e),(u)").Flag("multi_ext", true).Integer("zone_mode", 2))
                  .ok());
  EXPECT_TRUE(IsRunId(recorder.id()));
  recorder.CreatedFolder("moved");
  const FileIdentity before{8, 1700000000123456789, 42, 7}, after{8, 1700000000123456789, 43, 9};
  const std::size_t a = recorder.Intent(odd, FileAction::kMove, "moved/" + odd, &before);
  const std::size_t b = recorder.Intent("b.nes", FileAction::kDelete);
  const std::size_t c = recorder.Intent("c.nes", FileAction::kTrash);
  const std::size_t d = recorder.Intent("d.nes", FileAction::kZip, "ZippedRoms/d.zip");
  ASSERT_TRUE(recorder.Write(true).ok());
  recorder.Done(a, &after);
  recorder.Failed(b, "Permission denied");
  recorder.DoneInTrash(c, "/trash/files/c.nes", "/trash/info/c.nes.trashinfo", &before);
  (void)d;  // the run is killed before it says
  ASSERT_TRUE(recorder.Finish(2, 1).ok());

  RecordedRun run;
  ASSERT_TRUE(ReadRun(history.path(), recorder.id(), &run).ok());
  EXPECT_EQ(run.summary.job, JobKind::kCleanMove);
  EXPECT_EQ(run.summary.folder, roms.path());
  EXPECT_EQ(run.summary.started, recorder.started());
  EXPECT_TRUE(run.summary.ended);
  EXPECT_EQ(run.summary.done, 2);
  EXPECT_EQ(run.summary.failed, 1);
  EXPECT_EQ(run.created_folders, std::vector<std::string>{"moved"});
  ASSERT_EQ(run.files.size(), 4u);
  EXPECT_EQ(run.files[0].name, odd);
  EXPECT_EQ(run.files[0].destination, "moved/" + odd);
  EXPECT_EQ(run.files[0].result, RecordedFile::Result::kDone);
  ASSERT_TRUE(run.files[0].identity && run.files[0].identity_after);
  EXPECT_TRUE(SameUnchangedFile(*run.files[0].identity, before));
  EXPECT_TRUE(SameUnchangedFile(*run.files[0].identity_after, after));
  EXPECT_EQ(run.files[1].action, FileAction::kDelete);
  EXPECT_EQ(run.files[1].result, RecordedFile::Result::kFailed);
  EXPECT_EQ(run.files[1].reason, "Permission denied");
  EXPECT_EQ(run.files[2].destination, "/trash/files/c.nes");
  EXPECT_EQ(run.files[2].trash_info, "/trash/info/c.nes.trashinfo");
  EXPECT_EQ(run.files[3].result, RecordedFile::Result::kUnknown);

  RunSummary summary;
  ASSERT_TRUE(ReadRunSummary(history.path(), recorder.id(), &summary).ok());
  EXPECT_EQ(summary.done, 2);
  EXPECT_TRUE(summary.ended);
  EXPECT_EQ(FileLine(run.files[0]), "caf\\xE9\\t\"x\"\\\\.nes\tmove\tmoved/caf\\xE9\\t\"x\"\\\\.nes\tdone");
  EXPECT_EQ(FileLine(run.files[1]), "b.nes\tdelete\t\tfailed: Permission denied");
  EXPECT_EQ(FileLine(run.files[3]), "d.nes\tzip\tZippedRoms/d.zip\tnot known");
}

// A run killed after some outcomes: its counts are those outcomes, and a line cut short is passed over.
TEST(RunRecorderTest, KilledRunsAreCountedFromTheirOutcomes) {
  TempFolder history, roms;
  RunRecorder recorder;
  ASSERT_TRUE(recorder.Start(HistoryPlace::In(history.path()), JobKind::kAlpha, roms.path(), {}).ok());
  for (int i = 0; i < 3; ++i) recorder.Intent("f" + std::to_string(i), FileAction::kMove, "AlphaFolders/F/f");
  recorder.Done(0);
  recorder.Failed(1, "File exists");
  ASSERT_TRUE(recorder.Write(true).ok());
  WriteFile(recorder.path(), ReadFile(recorder.path()) + R"({"outcome":2,"res)");
  RunSummary summary;
  ASSERT_TRUE(ReadRunSummary(history.path(), recorder.id(), &summary).ok());
  EXPECT_FALSE(summary.ended);
  EXPECT_EQ(summary.done, 1);
  EXPECT_EQ(summary.failed, 1);
  EXPECT_EQ(RunLine(summary), recorder.id() + "\t" + std::string(LocalTimeOf(recorder.started())) + "\talpha\t" +
                                  PrintableText(roms.path()) + "\t1\t1");
}

TEST(RunRecorderTest, RunsOfOneSecondGetTheirOwnFilesAndLinksAreNeverFollowed) {
  TempFolder history, roms, elsewhere;
  // Two runs started in the same second: the second is "-2". Seconds may turn between two starts: try again.
  bool same_second = false;
  for (int attempt = 0; attempt < 50 && !same_second; ++attempt) {
    RunRecorder first, second;
    ASSERT_TRUE(first.Start(HistoryPlace::In(history.path()), JobKind::kAlpha, roms.path(), {}).ok());
    ASSERT_TRUE(second.Start(HistoryPlace::In(history.path()), JobKind::kAlpha, roms.path(), {}).ok());
    if (first.id().substr(0, 15) != second.id().substr(0, 15)) continue;
    same_second = true;
    EXPECT_EQ(second.id(),
              RunIdOf(first.id().substr(0, 15), first.id().size() == 15 ? 2 : 1 + std::stoi(first.id().substr(16))));
  }
  EXPECT_TRUE(same_second);
#ifndef _WIN32
  // A link at a run's name, even one to nothing, is never written through.
  const std::string stamp = RunTimeNow().stamp;
  elsewhere.Touch("target", "keep");
  for (int n = 1; n <= 3; ++n) {
    const std::string at = RunFilePath(history.path(), RunIdOf(stamp, n));
    std::filesystem::remove(at);
    std::filesystem::create_symlink(n == 1 ? (elsewhere / "target") : (elsewhere / "nothing"), at);
  }
  RunRecorder recorder;
  ASSERT_TRUE(recorder.Start(HistoryPlace::In(history.path()), JobKind::kAlpha, roms.path(), {}).ok());
  EXPECT_NE(recorder.id(), RunIdOf(stamp, 1));
  EXPECT_NE(recorder.id(), RunIdOf(stamp, 2));
  EXPECT_FALSE(elsewhere.Has("nothing"));
  EXPECT_EQ(elsewhere.Read("target"), "keep");
#endif
}

TEST(RunRecorderTest, KeepsTheNewestRunsOnly) {
  TempFolder history, roms;
  for (int i = 0; i < 205; ++i) {
    char id[32];
    std::snprintf(id, sizeof id, "2020%02d%02d-120000", 1 + i / 28, 1 + i % 28);
    history.Touch(std::string(id) + ".jsonl", "{}\n");
  }
  history.Touch("notes.txt", "not a run");
  RunRecorder recorder;
  ASSERT_TRUE(recorder.Start(HistoryPlace::In(history.path()), JobKind::kZip, roms.path(), {}).ok());
  std::vector<std::string> ids;
  ASSERT_TRUE(ListRuns(history.path(), &ids).ok());
  ASSERT_EQ(ids.size(), kKeptRuns);
  EXPECT_EQ(ids.front(), recorder.id());
  EXPECT_EQ(ids.back(), "20200107-120000");  // the 6 oldest went
  EXPECT_FALSE(history.Has("20200106-120000.jsonl"));
  EXPECT_TRUE(history.Has("notes.txt"));
  EXPECT_TRUE(ForgetRun(history.path(), ids.back()).ok());
  EXPECT_FALSE(history.Has("20200107-120000.jsonl"));
}

TEST(RunRecorderTest, RefusesAHistoryItCannotKeepApartFromTheFolder) {
  TempFolder roms, elsewhere;
  RunRecorder inside, nowhere, no_folder, on_file, not_recorded;
  EXPECT_FALSE(inside.Start(HistoryPlace::In((roms / "state/varnel/history")), JobKind::kAlpha, roms.path(), {}).ok());
  EXPECT_FALSE(roms.Has("state"));
  EXPECT_FALSE(no_folder.Start(HistoryPlace::In(""), JobKind::kAlpha, roms.path(), {}).ok());
  elsewhere.Touch("file", "");
  EXPECT_FALSE(on_file.Start(HistoryPlace::In((elsewhere / "file")), JobKind::kAlpha, roms.path(), {}).ok());
  EXPECT_TRUE(not_recorded.Start(HistoryPlace::Nowhere(), JobKind::kAlpha, roms.path(), {}).ok());
  EXPECT_FALSE(not_recorded.recording());
  EXPECT_TRUE(not_recorded.Finish(0, 0).ok());
}

TEST(RunHistoryTest, TheRunToUndoIsTheNewestNotYetUndone) {
  const auto run = [](const char* id, JobKind job, int done, int failed, const char* undoes = "", bool ended = true) {
    RunSummary summary;
    summary.id = id;
    summary.job = job;
    summary.done = done;
    summary.failed = failed;
    summary.undoes = undoes;
    summary.ended = ended;
    return summary;
  };
  const struct {
    const char* name;
    std::vector<RunSummary> runs;  // newest first
    const char* expected;          // "" for none
  } kCases[] = {
      {"the newest", {run("3", JobKind::kAlpha, 1, 0), run("2", JobKind::kZip, 1, 0)}, "3"},
      {"undone whole",
       {run("4", JobKind::kUndo, 2, 0, "3"), run("3", JobKind::kAlpha, 2, 0), run("2", JobKind::kZip, 1, 0)},
       "2"},
      {"undone in part", {run("4", JobKind::kUndo, 1, 1, "3"), run("3", JobKind::kAlpha, 2, 0)}, "3"},
      {"nothing to take back",
       {run("5", JobKind::kCleanDelete, 9, 0), run("4", JobKind::kAlpha, 0, 3), run("3", JobKind::kCleanMove, 1, 0)},
       "3"},
      {"killed", {run("3", JobKind::kAlpha, 0, 0, "", false)}, "3"},
      {"none", {run("4", JobKind::kUndo, 1, 0, "3"), run("3", JobKind::kAlpha, 1, 0)}, ""},
  };
  for (const auto& c : kCases) {
    const std::optional<RunSummary> found = NewestNotUndone(c.runs);
    EXPECT_EQ(found ? found->id : "", c.expected) << c.name;
  }
}

TEST(HistoryTextTest, PrintsEveryByteOnOneLine) {
  EXPECT_EQ(PrintableText("a\tb\rc\nd\\e"), "a\\tb\\rc\\nd\\\\e");
  EXPECT_EQ(PrintableText("caf\xE9 \x1B[31m \xC3\xA9"), "caf\\xE9 \\x1B[31m \xC3\xA9");
  RunSummary run;
  run.id = "20261206-182034";
  run.job = JobKind::kCleanMove;
  run.folder = "/roms/new\nline";
  run.started = "2026-12-06T18:20:34+01:00";
  run.done = 12;
  run.failed = 1;
  EXPECT_EQ(RunLine(run), "20261206-182034\t2026-12-06T18:20:34\tclean-move\t/roms/new\\nline\t12\t1");
  EXPECT_EQ(UndoQuestion(run, 3),
            "Undo the clean-move run of 2026-12-06T18:20:34 in /roms/new\nline: 3 files go back. "
            "Continue ?");
  const std::vector<FileFailure> failures = {{"a", "x"}, {"b", "y"}, {"c", "z"}, {"d", "w"}, {"e", "v"}, {"f", "u"}};
  EXPECT_EQ(UndoEndMessage(4, {}), "4 files came back.");
  EXPECT_EQ(UndoEndMessage(0, failures),
            "0 files came back.\n6 files could not come back: a (x), b (y), c (z), d (w), e (v), ...");
}

}  // namespace
}  // namespace varnel
