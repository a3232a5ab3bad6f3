// sources.h -- a world's sources (a JSON manifest, PNG pictures, WAV music) to and from records.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model.h"
#include "report.h"

namespace zdata {

constexpr const char* kManifestName = "world.json";
constexpr const char* kFormatName = "zelvo-world 1";

// Reads the sources: a folder holding world.json, or a manifest file. Problems go to the report, each
// with its file and JSON path; the records are complete only when the report holds no error.
DataSet readSources(const std::filesystem::path& sources, Report& report);

// Writes records as sources into the folder `dir`, which must exist. Records that no picture can hold
// exactly are written as raw bytes; `notes` says which.
void writeSources(const DataSet& data, const std::filesystem::path& dir, std::vector<std::string>& notes);

}  // namespace zdata
