#include "engine/SortPlan.h"

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

SortPlan::SortPlan(const ManifestInfo& info, const VaskReportSpec& spec)
    : m_Spec(spec),
      m_Levels(spec.SortIntoBdt ? SORT_LEVEL_COUNT : 1),
      m_States(spec.SortIntoStates ? STATE_COUNT : 1),
      m_Split(spec.SortIntoBdt || spec.SortIntoStates) {
  char directory[TEXT_SIZE], name[TEXT_SIZE];
  SplitPath(spec.ExpandedPath, directory, name);
  m_Directory = directory;
  m_Name = name;
  const int residueLevel = spec.SortIntoBdt ? SORT_LEVEL_BR : 0;
  const int unbarcodedLevel = spec.SortIntoBdt ? SORT_LEVEL_UR : 0;
  int step = 0;
  // Direct-tray sort plans first, then the residue ones, each ascending.
  for (int pass = 0; pass < 2; ++pass)
    for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
      const bool direct = info.BspLine[bsp] ? true : false;
      if (direct != (pass == 0)) continue;
      const int state = spec.SortIntoStates ? s_BspState[bsp] : 0;
      m_Bucket[step] = bsp - 1;
      m_File[step++] = Slot(direct ? SORT_LEVEL_BDT : residueLevel, state);
    }
  for (int state = 0; state < STATE_COUNT; ++state) {
    m_Bucket[step] = TEMP_FIRST_UNBARCODED + state;
    m_File[step++] = Slot(unbarcodedLevel, spec.SortIntoStates ? state : 0);
  }
  m_Bucket[step] = TEMP_UNKNOWN_STATE;
  m_File[step] = spec.SortIntoStates ? static_cast<int>(UNKNOWN_FILE) : Slot(unbarcodedLevel, 0);
}

std::string SortPlan::SlotName(int slot) const {
  const int level = slot / m_States, state = slot % m_States;
  std::string name = m_Directory;
  if (m_Spec.SortIntoBdt) name += s_SortLevelPrefix[level];
  if (m_Spec.SortIntoStates) name += std::string(s_States[state]) + "_";
  return name + m_Name;
}
