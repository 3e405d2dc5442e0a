#include "verify/CheckLog.h"

#include <set>

namespace verify {

namespace {

std::string FigureText(const Figures& figures, const std::string& key) {
  auto found = figures.find(key);
  return found == figures.end() ? "absent" : std::to_string(found->second);
}

}  // namespace

void CheckLog::Ok(const std::string& check) { m_Out << "OK  " << check << "\n"; }

void CheckLog::Diff(const std::string& check, const std::string& left, const std::string& right) {
  m_Out << "DIFF " << check << ": " << left << " vs " << right << "\n";
  m_Failed = true;
}

void CheckLog::Compare(const std::string& check, const Figures& left, const Figures& right) {
  std::set<std::string> keys;
  for (const auto& entry : left) keys.insert(entry.first);
  for (const auto& entry : right) keys.insert(entry.first);
  bool agree = true;
  for (const std::string& key : keys) {
    std::string a = FigureText(left, key), b = FigureText(right, key);
    if (a == b) continue;
    Diff(check + ", " + key, a, b);
    agree = false;
  }
  if (agree) Ok(check);
}

void CheckLog::CompareDocument(const std::string& name, const Document& document,
                               const Figures& expected, const std::string& against) {
  const std::string check = name + " vs " + against;
  if (!document.Found) return Diff(check, "missing", "wanted by the specification");
  for (const std::string& problem : document.Problems) {
    // A problem already reads "<found> vs <wanted>".
    m_Out << "DIFF " << name << " layout: " << problem << "\n";
    m_Failed = true;
  }
  Compare(check, document.Values, expected);
}

}  // namespace verify
