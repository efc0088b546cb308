#include "tools/morvex/validate/CheckReport.h"

#include <chrono>
#include <cstdio>
#include <exception>

#include "tools/morvex/console/TextTable.h"

namespace {

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

std::string firstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (const char character : text) {
    const auto c = static_cast<unsigned char>(character);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += character;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += character;
    }
  }
  return out + "\"";
}

}  // namespace

void CheckReport::run(const std::string& name, const Body& body) {
  const auto start = std::chrono::steady_clock::now();
  std::string detail;
  std::string reason;
  try {
    reason = body(&detail);
  } catch (const CheckSkipped& skipped) {
    skip(name, skipped.what());
    return;
  } catch (const std::exception& error) {
    reason = error.what();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  add({name, reason.empty() ? "PASS" : "FAIL", seconds, reason.empty() ? detail : reason});
}

void CheckReport::info(const std::string& name, const std::string& detail, double seconds) {
  add({name, "INFO", seconds, detail});
}

void CheckReport::skip(const std::string& name, const std::string& reason) {
  add({name, "SKIP", 0, reason});
}

void CheckReport::add(Row row) {
  const std::string result = row.result;
  if (result == "PASS" || result == "FAIL") ++mChecks;
  if (result == "FAIL") ++mFailures;
  if (mStyle == ReportStyle::kLines) {
    std::printf("%s  %s%s%s\n", row.result, row.name.c_str(), row.detail.empty() ? "" : ": ",
                row.detail.c_str());
    std::fflush(stdout);
  }
  mRows.push_back(std::move(row));
}

void CheckReport::printTable() const {
  std::vector<std::vector<std::string>> table = {{"CHECK", "RESULT", "TIME", "DETAIL"}};
  for (const Row& row : mRows)
    table.push_back({row.name, row.result, secondsText(row.seconds), firstLine(row.detail)});
  PrintTable(table);
  // What does not fit a line, such as a backtrace, follows the table.
  for (const Row& row : mRows)
    if (row.detail.find('\n') != std::string::npos)
      std::printf("\n%s %s:\n%s\n", row.result, row.name.c_str(), row.detail.c_str());
}

void CheckReport::printJson(const std::string& subject) const {
  std::printf("{\"subject\": %s, \"passed\": %s, \"checks\": %d, \"failures\": %d, \"results\": [",
              jsonString(subject).c_str(), mFailures ? "false" : "true", mChecks, mFailures);
  for (size_t i = 0; i < mRows.size(); ++i) {
    const Row& row = mRows[i];
    std::printf("%s\n  {\"check\": %s, \"result\": %s, \"seconds\": %.3f, \"detail\": %s}",
                i ? "," : "", jsonString(row.name).c_str(), jsonString(row.result).c_str(),
                row.seconds, jsonString(row.detail).c_str());
  }
  std::printf("\n]}\n");
}

int CheckReport::finish(const std::string& subject) const {
  if (mStyle == ReportStyle::kJson) {
    printJson(subject);
    return mFailures ? 1 : 0;
  }
  if (mStyle == ReportStyle::kTable) printTable();
  if (mFailures == 0) {
    std::printf("validate: all %d checks passed\n", mChecks);
    return 0;
  }
  std::printf("validate: %d of %d checks FAILED\n", mFailures, mChecks);
  return 1;
}
