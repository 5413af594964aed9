#ifndef VARNEL_ENGINE_RUN_SETTINGS_H_
#define VARNEL_ENGINE_RUN_SETTINGS_H_

#include <string>

namespace varnel {

// The choice among the four zone modes; kNone when no option button is selected.
enum class ZoneMode : int {
  kNone = 0,
  kAllSelectedZones = 1,   // one dump per selected zone the game has, plus one without tags
  kVerifiedFirst = 2,      // one dump per game; a "[!]" dump of any selected zone wins
  kFirstSelectedZone = 3,  // one dump of the first zone, in priority order, that the game has
  kAllZones = 4,           // one dump per stretch of consecutive dumps sharing a zone tag
};

// The options of one cleaning run, read once from the cleaning window (or the command line) when the run
// starts. The four list settings are the raw texts of their boxes; the run applies the list rule itself.
struct RunSettings {
  std::string RomFolder;          // the folder to clean, used unchanged
  bool TestMode = true;           // decide and log, touch no file
  bool MoveFiles = false;         // move unkept files into "moved" instead of deleting them
  bool TrashFiles = false;        // put unkept files in the desktop's trash instead (MoveFiles wins over it)
  bool OpenLog = true;            // open the log for the user at the end
  bool KeepTranslations = false;  // keep the best translated dump per wanted language
  bool IgnoreExtensions = false;  // files that differ only by extension are the same game
  varnel::ZoneMode ZoneMode = varnel::ZoneMode::kVerifiedFirst;
  std::string ZoneText;         // zone tags in priority order, comma-separated
  std::string KeepText;         // patterns of files never touched
  std::string ExclusionText;    // patterns of files always disposed of
  std::string TranslationText;  // wanted translation codes; read only with KeepTranslations
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_RUN_SETTINGS_H_
