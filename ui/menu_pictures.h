#ifndef VARNEL_UI_MENU_PICTURES_H_
#define VARNEL_UI_MENU_PICTURES_H_

#include <QPixmap>
#include <QSize>

namespace varnel {

inline constexpr QSize kBannerSize(499, 73);
inline constexpr QSize kFlagSize(31, 24);

// The menu's banner: the program's name on a dark field, drawn from the top-left corner.
QPixmap BannerPicture();
// The French flag: blue, white and red vertical bands.
QPixmap FrenchFlag();
// The flag of the United Kingdom: blue field, white and red saltires, white-bordered red cross.
QPixmap UnitedKingdomFlag();

}  // namespace varnel

#endif  // VARNEL_UI_MENU_PICTURES_H_
