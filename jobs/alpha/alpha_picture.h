#ifndef VARNEL_JOBS_ALPHA_ALPHA_PICTURE_H_
#define VARNEL_JOBS_ALPHA_ALPHA_PICTURE_H_

#include <QPixmap>

namespace varnel {

// The alphabetical window's picture: three folders labelled "A", "B" and "#", drawn at `size` x `size`
// device-independent pixels for a screen of `device_pixel_ratio`.
QPixmap AlphaFoldersPicture(int size, double device_pixel_ratio);

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_ALPHA_PICTURE_H_
