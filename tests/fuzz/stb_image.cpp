// stb_image.cpp -- stb_image compiled with the fuzz targets, so its decoding is instrumented and checked
// too; the executable's copy takes the place of the shared library's.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
