// report.cpp -- collecting and printing zelvo-data's errors and warnings.
#include "report.h"

#include <nlohmann/json.hpp>

namespace zdata {

void Report::error(std::string file, std::string record, std::string field, std::string message) {
  diagnostics_.push_back({Severity::Error, std::move(file), std::move(record), std::move(field), std::move(message)});
}

void Report::warning(std::string file, std::string record, std::string field, std::string message) {
  diagnostics_.push_back({Severity::Warning, std::move(file), std::move(record), std::move(field), std::move(message)});
}

std::size_t Report::errorCount() const {
  std::size_t n = 0;
  for (const auto& d : diagnostics_) n += d.severity == Severity::Error;
  return n;
}

std::size_t Report::warningCount() const { return diagnostics_.size() - errorCount(); }

std::string formatDiagnostic(const Diagnostic& d) {
  std::string line = d.severity == Severity::Error ? "error: " : "warning: ";
  for (const std::string* part : {&d.file, &d.record, &d.field}) {
    if (!part->empty()) line += *part + ": ";
  }
  return line + d.message;
}

static std::string plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string formatReport(const Report& report, const std::string& command) {
  std::string text;
  for (const auto& d : report.diagnostics()) text += formatDiagnostic(d) + "\n";
  text += command + ": " + plural(report.errorCount(), "error") + ", " + plural(report.warningCount(), "warning") + "\n";
  return text;
}

std::string reportJson(const Report& report) {
  nlohmann::ordered_json out;
  out["errors"] = report.errorCount();
  out["warnings"] = report.warningCount();
  out["diagnostics"] = nlohmann::ordered_json::array();
  for (const auto& d : report.diagnostics()) {
    out["diagnostics"].push_back({{"severity", d.severity == Severity::Error ? "error" : "warning"},
                                  {"file", d.file},
                                  {"record", d.record},
                                  {"field", d.field},
                                  {"message", d.message}});
  }
  // Texts from data files may hold any byte: replace what is not UTF-8 rather than throw.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace zdata
