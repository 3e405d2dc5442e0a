#ifndef VASKREPORT_ENGINE_SORTPLAN_H
#define VASKREPORT_ENGINE_SORTPLAN_H

#include <string>

#include "base/States.h"
#include "engine/TempFiles.h"

class ManifestInfo;
class VaskReportSpec;

// The files of one split and the lodgement order of the buckets: which
// bucket each of the 63 join steps takes, and which file it goes to.
class SortPlan {
 public:
  enum {
    STEPS = TEMP_BUCKET_COUNT,
    NO_FILE = -1,                                 // no split file takes the bucket
    UNKNOWN_FILE = SORT_LEVEL_COUNT * STATE_COUNT,  // ERR_UR_, after every slot
  };

  SortPlan(const ManifestInfo& info, const VaskReportSpec& spec);

  bool Split() const { return m_Split; }
  // Slots level by level, state by state; 0 without a split.
  int Slots() const { return m_Split ? m_Levels * m_States : 0; }
  int StepBucket(int step) const { return m_Bucket[step]; }
  // A slot, UNKNOWN_FILE or NO_FILE.
  int StepFile(int step) const { return m_File[step]; }
  std::string SlotName(int slot) const;
  std::string UnknownName() const { return m_Directory + "ERR_UR_" + m_Name; }
  // The file of lines that reach no other bucket.
  std::string UnroutedName() const { return m_Directory + "ERR_" + m_Name; }

 private:
  int Slot(int level, int state) const {
    return m_Split ? level * m_States + state : static_cast<int>(NO_FILE);
  }

  const VaskReportSpec& m_Spec;
  const int m_Levels;
  const int m_States;
  const bool m_Split;
  std::string m_Directory;
  std::string m_Name;
  int m_Bucket[STEPS];
  int m_File[STEPS];
};

#endif
