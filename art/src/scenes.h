// The built-in pictures of the setup program, each drawn from scratch.
#pragma once

#include "raster.h"

namespace art {

// Background colour of the two pictures of the background screen. They are shown
// transparently: the colour of a bitmap's bottom-left pixel is the one left out.
Color transparentKey();

Image logoPicture();  // 327 x 91, the product name at the top left of the background screen
Image sidePicture();  // 300 x 585, the right-hand picture of the background screen

// Side pictures of the wizard pages, one per page.
enum class Page { Welcome, Licence, Folder, Options, Ready, Finish, Infrared, InfraredSetup, Language };
Image pagePicture(Page page);  // 120 x 236

// 32 x 32 icons with a transparent background (alpha), meant for 16 colours.
Image welcomeIcon();
Image languageIcon();
Image questionIcon();

Image splashPicture();  // 400 x 300, the product name over a rendered landscape

}  // namespace art
