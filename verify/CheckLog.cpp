#include "verify/CheckLog.h"

#include <set>

namespace verify {

namespace {

std::string FigureText(const Figures& figures, const std::string& key) {
  auto found = figures.find(key);
  return found == figures.end() ? "absent" : std::to_string(found->second);
}

std::string Counted(int count, const char* what, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? what : plural);
}

}  // namespace

void CheckLog::Ok(const std::string& check) {
  ++m_Checks;
  m_Out << "OK  " << check << "\n";
}

void CheckLog::Diff(const std::string& check, const std::string& left, const std::string& right) {
  ++m_Checks;
  Difference(check + ": " + left + " vs " + right);
}

void CheckLog::Skip(const std::string& check, const std::string& reason) {
  ++m_Skipped;
  m_Out << "SKIP " << check << ": " << reason << "\n";
}

void CheckLog::Difference(const std::string& text) {
  ++m_Differences;
  m_Out << "DIFF " << text << "\n";
}

void CheckLog::End(const std::string& okText) {
  if (m_Differences == m_Mark) return Ok(okText);
  ++m_Checks;
}

void CheckLog::Compare(const std::string& check, const Figures& left, const Figures& right) {
  std::set<std::string> keys;
  for (const auto& entry : left) keys.insert(entry.first);
  for (const auto& entry : right) keys.insert(entry.first);
  Begin();
  for (const std::string& key : keys) {
    std::string a = FigureText(left, key), b = FigureText(right, key);
    if (a != b) Difference(check + ", " + key + ": " + a + " vs " + b);
  }
  End(check);
}

void CheckLog::Summary() {
  m_Out << Counted(m_Checks, "check", "checks") << ", "
        << Counted(m_Differences, "difference", "differences") << ", " << m_Skipped
        << " skipped\n";
}

}  // namespace verify
