#ifndef VASKREPORT_VERIFY_CHECKLOG_H
#define VASKREPORT_VERIFY_CHECKLOG_H

#include <ostream>
#include <string>

#include "verify/Documents.h"
#include "verify/Lodgement.h"

namespace verify {

class CheckLog {
 public:
  explicit CheckLog(std::ostream& out) : m_Out(out) {}
  void Ok(const std::string& check);
  void Diff(const std::string& check, const std::string& left, const std::string& right);
  // One DIFF per differing figure, or one OK.
  void Compare(const std::string& check, const Figures& left, const Figures& right);
  // A document's own problems, then its figures against what they should be.
  void CompareDocument(const std::string& name, const Document& document, const Figures& expected,
                       const std::string& against);
  bool Failed() const { return m_Failed; }

 private:
  std::ostream& m_Out;
  bool m_Failed = false;
};

}  // namespace verify

#endif
