#ifndef VARNEL_SETTINGS_FLOPPY_ICON_H_
#define VARNEL_SETTINGS_FLOPPY_ICON_H_

#include <QIcon>

namespace varnel {

enum class FloppyArrow { kOut, kIn };

// The picture of the load and save buttons: a floppy disk with an arrow pointing out of it (load) or into
// it (save), drawn at `size` x `size` device-independent pixels, sharp on high-dpi screens.
QIcon FloppyIcon(FloppyArrow arrow, int size);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_FLOPPY_ICON_H_
