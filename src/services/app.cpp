// app.cpp -- storage of the program-wide values.
#include "services/app.h"

std::string appDirectory;
WindowHandle mainWindow = 0;
uint8_t running = 0;
KeyList keyList;
