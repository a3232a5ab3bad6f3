// png.cpp -- the PNG writer that screenshots use, compiled here: the system's stb library is not for the web.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
