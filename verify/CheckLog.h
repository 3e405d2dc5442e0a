#ifndef VASKREPORT_VERIFY_CHECKLOG_H
#define VASKREPORT_VERIFY_CHECKLOG_H

#include <ostream>
#include <string>

#include "verify/Lodgement.h"

namespace verify {

// Prints the checks and counts them for the closing summary.
class CheckLog {
 public:
  explicit CheckLog(std::ostream& out) : m_Out(out) {}
  void Ok(const std::string& check);
  void Diff(const std::string& check, const std::string& left, const std::string& right);
  // A check that cannot be made; it does not count as a difference.
  void Skip(const std::string& check, const std::string& reason);
  // One DIFF per differing figure, or one OK.
  void Compare(const std::string& check, const Figures& left, const Figures& right);
  // A check of many parts: Begin, a Difference for each part that differs,
  // then End, which prints "OK  <okText>" when none did.
  void Begin() { m_Mark = m_Differences; }
  void Difference(const std::string& text);
  void End(const std::string& okText);
  // "N checks, N differences, N skipped".
  void Summary();
  bool Failed() const { return m_Differences > 0; }

 private:
  std::ostream& m_Out;
  int m_Checks = 0;
  int m_Differences = 0;
  int m_Skipped = 0;
  int m_Mark = 0;
};

}  // namespace verify

#endif
