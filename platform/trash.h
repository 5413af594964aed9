#ifndef VARNEL_PLATFORM_TRASH_H_
#define VARNEL_PLATFORM_TRASH_H_

#include <memory>
#include <string>

#include "platform/status.h"

namespace varnel {

// Where a file put in the trash went, so that it can be found there again.
// POSIX (the freedesktop.org trash): `trash` is the trash folder, which holds "files" and "info"; the file is
// files/<name> and its record info/<name>.trashinfo. Windows: `trash` is the recycle bin folder that holds the
// recycled item and `name` the item's name there; both are empty when the system did not say.
struct TrashEntry {
  std::string trash;
  std::string name;
};

// Puts files in the desktop's trash, from where the user can restore them. It never deletes a file instead:
// a file no trash takes stays where it is and the call fails with the reason.
//
// POSIX: a file on the device of the home trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) goes
// there; any other goes to the trash of its volume: $topdir/.Trash/<uid> when $topdir/.Trash is a folder (not
// a link) with the sticky bit, else $topdir/.Trash-<uid>, made with mode 0700 when missing; a volume trash that
// is a link, not a folder, another user's or writable by others is refused. The record is written and put on
// disk first, under a name of our own choosing (never replacing one), then the file is renamed into "files"
// under that name without replacing anything; should the rename fail, the record goes again.
// Windows: the shell's file operation with FOFX_RECYCLEONDELETE; an item the recycle bin would delete for
// good (a removable drive, a file too large for it) is refused.
//
// One object keeps the folder and trash last used open, for the next file of the same folder. Not for two
// threads at once.
class Trash {
 public:
  Trash();
  Trash(const Trash&) = delete;
  Trash& operator=(const Trash&) = delete;
  ~Trash();

  // Puts the file `name` of `folder` in the trash; *entry (when given) says where it went.
  Status MoveToTrash(const std::string& folder, const std::string& name, TrashEntry* entry);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Where the trash holds the file of `entry`, and the record that lets the desktop restore it: POSIX
// <trash>/files/<name> and <trash>/info/<name>.trashinfo; Windows the recycled item and its "$I" file beside
// it. Empty when the entry says nothing, or the record is not known.
std::string TrashEntryPath(const TrashEntry& entry);
std::string TrashInfoPath(const TrashEntry& entry);

// Puts one file in the trash, as Trash::MoveToTrash does.
inline Status MoveToTrash(const std::string& folder, const std::string& name, TrashEntry* entry) {
  return Trash().MoveToTrash(folder, name, entry);
}

}  // namespace varnel

#endif  // VARNEL_PLATFORM_TRASH_H_
