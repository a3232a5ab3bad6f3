// tables_text.h -- the content tables written out as text, so that a test compares whole records at once.
#pragma once

#include <string>

#include "data/tables.h"
#include "world/objects.h"

// A record's fields as "name=value" words; buffers are left out.
std::string Fields(const ImageRecord& image);
std::string Fields(const FontRecord& font);
std::string Fields(const Sprite& sprite);
std::string Fields(const Artifact& artifact);
std::string Fields(const Event& event);  // its actions too, as [opcode argument x,y]

// Every table, a record a line, with its buffers and each image as drawImage shows it: equal text,
// equal tables.
std::string TablesText();
