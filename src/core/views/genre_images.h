#pragma once
// The pictures of the shared image list that the core writes into files (the
// genre images, 16 to 31), as SVG text. Built from the window's own image
// files, so there is one copy of each picture.
#include <string_view>

// The SVG document of image `image`; empty for an image the core does not carry.
std::string_view GetImageSvg(int image);
