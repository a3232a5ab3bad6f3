/* stb_windows.c -- stb_image and stb_image_write for Windows builds, which cannot use the build
   machine's libstb; file names are UTF-8, opened with the wide calls. */
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#define STBIW_WINDOWS_UTF8
#include <stb_image.h>
#include <stb_image_write.h>
