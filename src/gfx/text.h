// text.h -- bitmap-font text: the current font and colours, and drawing a line.
#pragma once

#include <cstdint>

// Start-up, before the data files load: empty the font table. Returns 0.
int TxtInit();
