// report.h -- the errors and warnings zelvo-data reports, each naming a file, a record and a field.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zdata {

enum class Severity { Error, Warning };

struct Diagnostic {
  Severity severity = Severity::Error;
  std::string file;     // a data file or a source file
  std::string record;   // "image 6", "screen 12", or a JSON path such as "sprites[3].frames"
  std::string field;    // may be empty
  std::string message;
};

class Report {
 public:
  void error(std::string file, std::string record, std::string field, std::string message);
  void warning(std::string file, std::string record, std::string field, std::string message);
  void add(Diagnostic diagnostic) { diagnostics_.push_back(std::move(diagnostic)); }

  const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
  std::size_t errorCount() const;
  std::size_t warningCount() const;
  bool hasErrors() const { return errorCount() != 0; }

 private:
  std::vector<Diagnostic> diagnostics_;
};

// "error: world.json: sprites[3].frames: strip width 50 is not divisible by 3 frames"
std::string formatDiagnostic(const Diagnostic& diagnostic);
// All diagnostics, one a line, then a closing count line naming the command.
std::string formatReport(const Report& report, const std::string& command);
// The same report for machines.
std::string reportJson(const Report& report);

// A place in a JSON source: its file and the path inside it, extended as readers descend.
struct JsonPlace {
  std::string file;
  std::string path;
  JsonPlace key(const std::string& name) const { return {file, path.empty() ? name : path + "." + name}; }
  JsonPlace index(std::size_t i) const { return {file, path + "[" + std::to_string(i) + "]"}; }
};

inline void error(Report& report, const JsonPlace& place, std::string message) {
  report.error(place.file, place.path, "", std::move(message));
}
inline void warning(Report& report, const JsonPlace& place, std::string message) {
  report.warning(place.file, place.path, "", std::move(message));
}

}  // namespace zdata
