// tables_text.h -- the content tables written out as text, so that a test compares whole tables at once.
#pragma once

#include <string>

// Every table, a record a line with every field and buffer, each image also as drawImage shows it;
// empty map slots and empty placements are left out. Equal text, equal tables.
std::string TablesText();
