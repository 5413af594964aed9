// The records of a run's file read by the quick reader and by the full JSON parser: both give the same fields for
// every line, or both refuse it; and a run with odd names comes back from its file as it was written.

#include "history/run_record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/json_line.h"
#include "history/run_history.h"
#include "history/run_recorder.h"
#include "platform/utf8.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

constexpr const char* kFieldNames[] = {"varnel_history", "job",     "folder", "started", "undoes", "created_folder",
                                       "intent",         "name",    "action", "destination", "trash_info", "size",
                                       "mtime_ns",       "inode",   "outcome", "result",  "reason", "end",
                                       "done",           "failed"};
static_assert(std::size(kFieldNames) == RunRecordReader::kFieldCount);

// The fields `reader` holds, in order: name="text" (its bytes escaped) or name=number.
std::string Fields(const RunRecordReader& reader) {
  std::string fields;
  for (int i = 0; i < RunRecordReader::kFieldCount; ++i) {
    const auto field = static_cast<RunRecordReader::Field>(i);
    std::int64_t number = 0;
    if (const std::string* text = reader.Text(field)) {
      fields += std::string(" ") + kFieldNames[i] + "=\"" + EscapeBytes(*text, true) + "\"";
    } else if (reader.Integer(field, &number)) {
      fields += std::string(" ") + kFieldNames[i] + "=" + std::to_string(number);
    } else {
      EXPECT_FALSE(reader.Has(field)) << kFieldNames[i];
    }
  }
  return fields.empty() ? fields : fields.substr(1);
}

constexpr const char* kRefused = "refused";

// Reads `line` with a new reader's full parser, and with `reused` (which read the lines before) both ways: the
// quick reader understands it as `quick` says, and whatever it reads the full parser reads alike. Returns the
// fields read, or kRefused.
std::string ReadBothWays(RunRecordReader& reused, const std::string& line, bool quick) {
  RunRecordReader general;
  const bool parsed = general.ParseGeneral(line);
  const std::string fields = parsed ? Fields(general) : kRefused;
  EXPECT_EQ(reused.ParseQuick(line), quick) << line;
  if (quick) {
    EXPECT_EQ(Fields(reused), fields) << line;
  }
  EXPECT_EQ(reused.Parse(line), parsed) << line;
  if (parsed) {
    EXPECT_EQ(Fields(reused), fields) << line;
  }
  return fields;
}

TEST(RunRecordReaderTest, QuickReaderAndFullParserAgreeOnEveryLine) {
  const struct {
    std::string line;
    bool quick;          // the quick reader understands it
    const char* fields;  // what both read; nullptr: not looked at beyond their agreement
  } cases[] = {
      // Every record the recorder writes.
      {R"({"varnel_history":1,"job":"alpha","folder":"/roms","started":"2026-12-06T18:20:34+01:00","settings":{}})",
       true, R"(varnel_history=1 job="alpha" folder="/roms" started="2026-12-06T18:20:34+01:00")"},
      {R"({"varnel_history":1,"job":"undo","folder":"/r","started":"s","settings":{"zones":"e,u","multi":true,)"
       R"("mode":-2,"off":false,"undoes":"20261206-182034"}})",
       true, R"(varnel_history=1 job="undo" folder="/r" started="s" undoes="20261206-182034")"},
      {R"({"created_folder":"moved"})", true, R"(created_folder="moved")"},
      {R"({"intent":0,"name":"a.nes","action":"move","destination":"moved/a.nes","size":8,)"
       R"("mtime_ns":1700000000123456789,"inode":18446744073709551615})",
       false, nullptr},  // an inode past the signed range: the full parser's reading holds
      {R"({"intent":12,"name":"a.nes","action":"move","destination":"A/a.nes","size":8,)"
       R"("mtime_ns":-1700000000123456789,"inode":9223372036854775807})",
       true,
       R"(intent=12 name="a.nes" action="move" destination="A/a.nes" size=8 mtime_ns=-1700000000123456789 )"
       R"(inode=9223372036854775807)"},
      {R"({"outcome":0,"result":"done"})", true, R"(outcome=0 result="done")"},
      {R"({"outcome":1,"result":"failed","reason":"Permission denied"})", true,
       R"(outcome=1 result="failed" reason="Permission denied")"},
      {R"({"outcome":2,"result":"done","destination":"/t/files/c","trash_info":"/t/info/c.trashinfo","size":0,)"
       R"("mtime_ns":0,"inode":1})",
       true,
       R"(destination="/t/files/c" trash_info="/t/info/c.trashinfo" size=0 mtime_ns=0 inode=1 outcome=2 )"
       R"(result="done")"},
      {R"({"end":"2026-12-06T18:20:35+01:00","done":1,"failed":0})", true,
       R"(end="2026-12-06T18:20:35+01:00" done=1 failed=0)"},
      {"{}", true, ""},
      // Texts with every escape, and characters beyond ASCII as they are and escaped.
      {R"({"name":"q\"b\\s\/b\bf\fn\nr\rt\tc\u0001\u001fz\u0000e"})", true,
       R"(name="q"b\\s/b\x08f\x0Cn\nr\rt\tc\x01\x1Fz\x00e")"},
      {"{\"name\":\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"}", true, "name=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      {R"({"name":"caf\u00e9 \u20AC \uD83D\uDE00 \ud83d\ude00"})", true,
       "name=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF0\x9F\x98\x80\""},
      {R"({"name":"\uD83D"})", false, kRefused},
      {R"({"name":"\uD83Dx"})", false, kRefused},
      {R"({"name":"\uD83D\u0041"})", false, kRefused},
      {R"({"name":"\uDE00"})", false, kRefused},
      {R"({"name":"\u12G4"})", false, kRefused},
      {R"({"name":"\u12"})", false, kRefused},
      {R"({"name":"\u12)", false, kRefused},
      {R"({"name":"\uD83D\uDE)", false, kRefused},
      {R"({"name":"a\)", false, kRefused},
      {R"({"name":"\x41"})", false, kRefused},
      {"{\"name\":\"a\tb\"}", false, kRefused},
      {"{\"name\":\"caf\xE9\"}", false, kRefused},
      {"{\"name\":\"\xC0\xAF\"}", false, kRefused},
      {"{\"name\":\"\xED\xA0\x80\"}", false, kRefused},
      {"{\"name\":\"\xF5\x80\x80\x80\"}", false, kRefused},
      {"{\"name\":\"\xE2\x82\"}", false, kRefused},
      // Texts that are no UTF-8, in hexadecimal.
      {R"({"name_hex":"636166E9","destination_hex":"ff00"})", true,
       R"(name="caf\xE9" destination="\xFF\x00")"},
      {R"({"name_hex":""})", true, R"(name="")"},
      {R"({"name_hex":"ABC"})", false, kRefused},
      {R"({"name_hex":"zz"})", false, kRefused},
      {R"({"name_hex":5,"_hex":"zz","other_hex":"zz"})", true, ""},
      // What "settings" gives, and what it does not.
      {R"({"settings":{"undoes_hex":"4142"}})", true, R"(undoes="AB")"},
      {R"({"settings":{"undoes":5}})", true, "undoes=5"},
      {R"({"settings_hex":{"undoes":"a"}})", true, R"(undoes="a")"},
      {R"({"undoes":"a","settings":"b"})", true, ""},
      {R"({"settings":{"name":"a"},"name":"b"})", true, R"(name="b")"},
      {R"({"settings":{"undoes":"a"},"settings":{}})", true, R"(undoes="a")"},
      {R"({"settings":{"a":{"b":1},"undoes":"x"}})", false, ""},
      {R"({"settings":{"a":[1],"undoes":"x"}})", false, R"(undoes="x")"},
      {R"({"settings":{"settings":{"undoes":"x"}}})", false, ""},
      {R"({"name":{"undoes":"x"},"job":"j"})", false, R"(job="j")"},
      // Numbers.
      {R"({"intent":-0,"outcome":0})", true, "intent=0 outcome=0"},
      {R"({"size":-9223372036854775808})", true, "size=-9223372036854775808"},
      {R"({"size":9223372036854775808})", false, "size=-9223372036854775808"},
      {R"({"size":18446744073709551616})", false, ""},
      {R"({"size":-9223372036854775809})", false, ""},
      {R"({"size":123456789012345678901234})", false, ""},
      {R"({"size":1.5,"inode":1e3,"mtime_ns":-1E3})", false, ""},
      {R"({"size":01})", false, kRefused},
      {R"({"size":-})", false, kRefused},
      {R"({"size":+1})", false, kRefused},
      {R"({"size":1.})", false, kRefused},
      // A key that comes twice: its last text or number holds; a flag, null or float leaves the one before.
      {R"({"name":"a","name":"b"})", true, R"(name="b")"},
      {R"({"name":"a","name":7})", true, "name=7"},
      {R"({"intent":1,"intent":"x"})", true, R"(intent="x")"},
      {R"({"name":"a","name":true,"size":2,"size":false})", true, R"(name="a" size=2)"},
      {R"({"name":"a","name_hex":"62"})", true, R"(name="b")"},
      {R"({"name_hex":"62","name":"c"})", true, R"(name="c")"},
      {R"({"name":"a","name":null,"size":3,"size":0.5})", false, R"(name="a" size=3)"},
      // Lines cut short or with anything more.
      {R"({"outcome":2,"res)", false, kRefused},
      {R"({"name":"a")", false, kRefused},
      {R"({"name":"a",)", false, kRefused},
      {R"({"name":)", false, kRefused},
      {R"({"name")", false, kRefused},
      {"{", false, kRefused},
      {R"({"name":"a"}})", false, kRefused},
      {R"({"name":"a"}x)", false, kRefused},
      {R"({"name":"a"}{})", false, kRefused},
      {R"({"intent":tru})", false, kRefused},
      {R"({"intent":falsey})", false, kRefused},
      // Whitespace, which the recorder never writes.
      {R"({ "name":"a"})", false, R"(name="a")"},
      {R"({"name": "a","size" :1})", false, R"(name="a" size=1)"},
      {"{\"name\":\"a\"}\r", false, R"(name="a")"},
      {"\t{\"name\":\"a\"} ", false, R"(name="a")"},
      // Escaped keys, keys beyond ASCII, a byte order mark.
      {R"({"na\u006de":"a"})", false, R"(name="a")"},
      {"{\"\xC3\xA9\":1,\"name\":\"a\"}", false, R"(name="a")"},
      {"\xEF\xBB\xBF{\"name\":\"a\"}", false, R"(name="a")"},
      // Nulls, arrays, deeper objects.
      {R"({"name":null})", false, ""},
      {R"({"name":["a"],"job":"j"})", false, R"(job="j")"},
      {R"({"a":[{"name":"x"}],"b":{"c":{"name":"y"}}})", false, ""},
      {"[1]", false, kRefused},
      {"[]", false, kRefused},
      // No object at all.
      {"", false, kRefused},
      {"5", false, kRefused},
      {R"("name")", false, kRefused},
      {"true", false, kRefused},
      {"null", false, kRefused},
      {"garbage", false, kRefused},
      {R"({"name":"a",})", false, kRefused},
      {R"({"name" "a"})", false, kRefused},
      {R"({name:"a"})", false, kRefused},
      {R"({'name':'a'})", false, kRefused},
      {R"({"name":"a"}{"name":"b"})", false, kRefused},
  };
  RunRecordReader reused;
  for (const auto& c : cases) {
    const std::string fields = ReadBothWays(reused, c.line, c.quick);
    if (c.fields != nullptr) {
      EXPECT_EQ(fields, c.fields) << c.line;
    }
  }
}

// Whatever the recorder writes the quick reader understands: texts with every byte, in UTF-8 or not.
TEST(RunRecordReaderTest, QuickReaderUnderstandsEveryTextWritten) {
  std::vector<std::string> texts = {"", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBF\xBF",
                                    "-*?", std::string(100000, 'x') + "\"\\"};
  for (int byte = 0; byte < 256; ++byte) {
    // Alone, and in a run of plain characters at each place of an eight-byte word.
    texts.emplace_back(1, static_cast<char>(byte));
    for (int at = 0; at < 9; ++at) texts.push_back(std::string(at, 'a') + static_cast<char>(byte) + "bcdefghijk");
  }
  RunRecordReader reused;
  for (const std::string& text : texts) {
    std::string line;
    JsonLine(&line).Text("name", text).Integer("size", -1).Flag("f", true).Text("destination", "d/" + text).End();
    line.pop_back();  // the line feed
    const std::string fields = ReadBothWays(reused, line, /*quick=*/true);
    EXPECT_EQ(fields, "name=\"" + EscapeBytes(text, true) + "\" destination=\"" + EscapeBytes("d/" + text, true) +
                          "\" size=-1")
        << line;
  }
}

// A run with odd names, and lines longer than a part of the file read at once, comes back field by field.
TEST(RunRecordReaderTest, RunWithOddNamesIsReadBackFromItsFile) {
  TempFolder history, roms;
  const std::vector<std::string> names = {
      "-leading dash.nes", "*star?.nes",     "caf\xE9.nes",   "quote\"back\\slash\b\f\n\r\t\x01\x1F\x7F.nes",
      "caf\xC3\xA9 \xF0\x9F\x98\x80.nes",
      std::string("nul\0byte.nes", 12), "\xFF\xFE",  "A/sub/name.nes"};
  RunRecorder recorder;
  ASSERT_TRUE(recorder
                  .Start(HistoryPlace::In(history.path()), JobKind::kUndo, roms.path(),
                         RecordedSettings().Text("undoes", "20261206-182034-\xE9").Flag("f", false).Integer("n", -7))
                  .ok());
  recorder.CreatedFolder("made\n\xFF");
  struct Written {
    std::string name;
    FileAction action;
    std::string destination;
    FileIdentity identity;
  };
  std::vector<Written> written;
  for (int i = 0; i < 3000; ++i) {
    const std::string name = i == 1000 ? std::string(300000, 'L') : names[i % names.size()];
    const FileAction action = i % 3 == 0 ? FileAction::kMove : i % 3 == 1 ? FileAction::kTrash : FileAction::kZip;
    const FileIdentity identity{static_cast<std::uint64_t>(i) << 40, -1700000000123456789 + i,
                                ~static_cast<std::uint64_t>(i) >> 1, 0};
    written.push_back({name, action, "Dest/" + name, identity});
    EXPECT_EQ(recorder.Intent(name, action, "Dest/" + name, &identity), static_cast<std::size_t>(i));
  }
  const FileIdentity after{1, 2, 3, 4};
  for (int i = 0; i < 3000; i += 2) recorder.Done(i, i % 4 == 0 ? &after : nullptr);
  recorder.Failed(1, "Reason with \"quotes\" and \xE9");
  ASSERT_TRUE(recorder.Finish(1500, 1).ok());

  RecordedRun run;
  ASSERT_TRUE(ReadRun(history.path(), recorder.id(), &run).ok());
  EXPECT_EQ(run.summary.job, JobKind::kUndo);
  EXPECT_EQ(run.summary.folder, roms.path());
  EXPECT_EQ(run.summary.undoes, "20261206-182034-\xE9");
  EXPECT_EQ(run.summary.started, recorder.started());
  EXPECT_TRUE(run.summary.ended);
  EXPECT_EQ(run.summary.done, 1500);
  EXPECT_EQ(run.summary.failed, 1);
  EXPECT_EQ(run.created_folders, std::vector<std::string>{"made\n\xFF"});
  ASSERT_EQ(run.files.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const RecordedFile& file = run.files[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(file.name, written[i].name);
    EXPECT_EQ(file.action, written[i].action);
    EXPECT_EQ(file.destination, written[i].destination);
    ASSERT_TRUE(file.identity.has_value());
    EXPECT_EQ(file.identity->size, written[i].identity.size);
    EXPECT_EQ(file.identity->mtime_ns, written[i].identity.mtime_ns);
    EXPECT_EQ(file.identity->inode, written[i].identity.inode);
    const RecordedFile::Result result =
        i % 2 == 0 ? RecordedFile::Result::kDone
                   : i == 1 ? RecordedFile::Result::kFailed : RecordedFile::Result::kUnknown;
    EXPECT_EQ(file.result, result);
    EXPECT_EQ(file.reason, i == 1 ? "Reason with \"quotes\" and \xE9" : "");
    EXPECT_EQ(file.identity_after.has_value(), i % 4 == 0);
  }
}

}  // namespace
}  // namespace varnel
