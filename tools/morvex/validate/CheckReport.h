#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// How the results reach the user: a line per check as it finishes (the
// basic level), a table once all ran, or JSON for programs.
enum class ReportStyle { kLines, kTable, kJson };

// Thrown by a check body that finds it cannot run here: a SKIP, with why.
struct CheckSkipped : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Collects check results. A check body returns "" when it passes, else the
// reason; whatever else it throws is a failure too. Each check is timed.
class CheckReport {
 public:
  using Body = std::function<std::string(std::string* detail)>;

  explicit CheckReport(ReportStyle style) : mStyle(style) {}

  void run(const std::string& name, const Body& body);
  // A finding that passes or fails nothing: what the user should know.
  void info(const std::string& name, const std::string& detail, double seconds);
  // A check that could not run here, and why.
  void skip(const std::string& name, const std::string& reason);

  int failures() const { return mFailures; }
  // Shows what the style keeps for the end, with the summary naming what was
  // validated; the exit status: 0 only when no check failed.
  int finish(const std::string& subject) const;

 private:
  struct Row {
    std::string name;
    const char* result;  // PASS, FAIL, INFO or SKIP
    double seconds;
    std::string detail;
  };
  void add(Row row);
  void printTable() const;
  void printJson(const std::string& subject) const;

  ReportStyle mStyle;
  std::vector<Row> mRows;
  int mChecks = 0;
  int mFailures = 0;
};
