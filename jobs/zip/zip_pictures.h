#ifndef VARNEL_JOBS_ZIP_ZIP_PICTURES_H_
#define VARNEL_JOBS_ZIP_ZIP_PICTURES_H_

#include <QPixmap>

namespace varnel {

// The zip window's pictures, drawn at `size` x `size` device-independent pixels for a screen whose device
// pixel ratio is `ratio`, so they stay sharp on high-dpi screens.

// A zip archive: a page closed by a zipper with its pull tab (`Picture1`).
QPixmap ZipArchivePicture(int size, double ratio);
// A cartridge of the romset with an arrow pointing down out of it, into the archive below (`Picture2`).
QPixmap RomToZipPicture(int size, double ratio);

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIP_PICTURES_H_
