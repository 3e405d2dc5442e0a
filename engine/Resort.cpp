#include "engine/Resort.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/ReportErrors.h"
#include "engine/States.h"
#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

SelfClosingFILE::SelfClosingFILE() : m_File(nullptr) {}

SelfClosingFILE::~SelfClosingFILE() { Close(); }

void SelfClosingFILE::Close() {
  if (!m_File) return;
  std::fclose(m_File);
  m_File = nullptr;
}

bool SelfClosingFILE::Open(const char* name, const char* mode, bool reportFailure) {
  Close();
  m_File = std::fopen(name, mode);
  if (!m_File && reportFailure) std::perror(name);
  return m_File != nullptr;
}

FILE* SelfClosingFILE::f() const { return m_File; }

char* MakeTempFileName(char* dst, int index, const char* tempDirectory) {
  // The digits and ".tmp" always survive, so no two indexes share a name.
  strncpyz(dst, tempDirectory, TEMP_NAME_SIZE - 7);
  size_t n = strlen(dst);
  dst[n] = static_cast<char>('0' + index / 10 % 10);
  dst[n + 1] = static_cast<char>('0' + index % 10);
  strncpyz(dst + n + 2, ".tmp", 4);
  return dst;
}

void SplitPath(const char* path, char* directory, char* name) {
  size_t cut = strlen(path);
  while (cut > 0 && !strchr("/\\:", path[cut - 1])) --cut;
  strncpyz(directory, path, cut < 255 ? cut : 255);
  strncpyz(name, path + cut, 255);
}

namespace {

void SetDetail(char* message, const char* text) {
  if (message) strncpyz(message, text, 255);
}

// Fixed-width layouts get names padded to their columns, so the line reads
// back as a header of the same layout.
std::string HeaderLine(const VaskReportSpec& spec) {
  std::string line;
  for (int i = 0; i < spec.FieldCount; ++i) {
    const VaskReportSpec::FieldSpec& field = spec.Fields[i];
    if (!spec.Delimiter) {
      std::string name(field.Name, strnlen(field.Name, field.Size > 0 ? field.Size : 0));
      line += name;
      if (field.Size > 0) line.append(static_cast<size_t>(field.Size) - name.size(), ' ');
      continue;
    }
    if (i > 0) line += spec.Delimiter;
    if (spec.Qualifier) line += spec.Qualifier;
    line += field.Name;
    if (spec.Qualifier) line += spec.Qualifier;
  }
  return line + "\n";
}

// Copies one temporary file to each destination that is not null; with
// removeAfter, removes it once copied.
int AppendBucket(char* buffer, int index, std::ofstream* out, std::ofstream* resort,
                 char* message, const char* tempDirectory, bool removeAfter = false) {
  char name[TEMP_NAME_SIZE];
  MakeTempFileName(name, index, tempDirectory);
  SelfClosingFILE in;
  if (!in.Open(name, "r", false)) {
    SetDetail(message, name);
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  }
  while (size_t got = std::fread(buffer, 1, COPY_BUFFER_SIZE, in.f())) {
    if (out) out->write(buffer, static_cast<std::streamsize>(got));
    if (resort) resort->write(buffer, static_cast<std::streamsize>(got));
  }
  if (std::ferror(in.f())) return ERR_VASKREPORT_READ_FILE;
  if ((out && out->fail()) || (resort && resort->fail())) return ERR_VASKREPORT_WRITE_FILE;
  if (removeAfter) {
    in.Close();
    std::remove(name);
  }
  return 0;
}

bool TempFileHasData(const char* tempDirectory, int index, bool& hasData, char* message) {
  char name[TEMP_NAME_SIZE];
  SelfClosingFILE in;
  if (!in.Open(MakeTempFileName(name, index, tempDirectory), "r", false)) {
    SetDetail(message, name);
    return false;
  }
  hasData = std::fgetc(in.f()) != EOF;
  return true;
}

class Progress {
 public:
  explicit Progress(int (*callback)(int)) : m_Callback(callback), m_Step(0) {}
  bool Cancelled() { return m_Callback && m_Callback(--m_Step) != 0; }

 private:
  int (*m_Callback)(int);
  int m_Step;
};

// Every output of one split: the slots, the resort copy, the unknown-state
// file and the file of lines that reach no other bucket.
class SplitOutputs {
 public:
  SplitOutputs(const VaskReportSpec& spec, const char* tempDirectory, bool removeCopied)
      : m_Spec(spec), m_TempDirectory(tempDirectory), m_RemoveCopied(removeCopied),
        m_Levels(spec.SortIntoBdt ? SORT_LEVEL_COUNT : 1),
        m_States(spec.SortIntoStates ? STATE_COUNT : 1),
        m_Split(spec.SortIntoBdt || spec.SortIntoStates) {
    char directory[256], name[256];
    SplitPath(spec.ExpandedPath, directory, name);
    m_Directory = directory;
    m_Name = name;
  }

  int Open(char* message);
  int Run(const ManifestInfo& info, char* buffer, int (*progress)(int), char* message);
  int Close();

 private:
  std::ofstream* Slot(int level, int state) {
    return m_Split ? &m_Slots[level * m_States + state] : nullptr;
  }
  std::ofstream* Resort() { return m_Spec.SortByBsp ? &m_Resort : nullptr; }
  std::string SlotName(int level, int state) const;
  int Append(char* buffer, int index, std::ofstream* out, char* message) {
    return AppendBucket(buffer, index, out, Resort(), message, m_TempDirectory, m_RemoveCopied);
  }

  const VaskReportSpec& m_Spec;
  const char* m_TempDirectory;
  const bool m_RemoveCopied;
  const int m_Levels;
  const int m_States;
  const bool m_Split;
  std::string m_Directory;
  std::string m_Name;
  std::ofstream m_Slots[SORT_LEVEL_COUNT * STATE_COUNT];
  std::ofstream m_Resort;
  std::ofstream m_Unknown;
  std::ofstream m_Unrouted;
};

std::string SplitOutputs::SlotName(int level, int state) const {
  std::string name = m_Directory;
  if (m_Spec.SortIntoBdt) name += s_SortLevelPrefix[level];
  if (m_Spec.SortIntoStates) name += std::string(s_States[state]) + "_";
  return name + m_Name;
}

int SplitOutputs::Open(char* message) {
  for (int level = 0; m_Split && level < m_Levels; ++level)
    for (int state = 0; state < m_States; ++state)
      if (int rc = OpenOutputFile(*Slot(level, state), SlotName(level, state).c_str(), m_Spec,
                                  message))
        return rc;
  if (m_Spec.SortByBsp) {
    char name[TEMP_NAME_SIZE];
    MakeTempFileName(name, TEMP_RESORT_COPY, m_TempDirectory);
    if (int rc = OpenOutputFile(m_Resort, name, m_Spec, message)) return rc;
  }
  if (m_Spec.SortIntoStates) {
    std::string name = m_Directory + "ERR_UR_" + m_Name;
    if (int rc = OpenOutputFile(m_Unknown, name.c_str(), m_Spec, message)) return rc;
  }
  if (!m_Split) return 0;
  bool unrouted = false;
  if (!TempFileHasData(m_TempDirectory, TEMP_UNROUTED, unrouted, message))
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  std::string name = m_Directory + "ERR_" + m_Name;
  if (!unrouted) {
    std::remove(name.c_str());  // an older file of that name describes another run
    return 0;
  }
  return OpenOutputFile(m_Unrouted, name.c_str(), m_Spec, message);
}

int SplitOutputs::Run(const ManifestInfo& info, char* buffer, int (*progress)(int),
                      char* message) {
  Progress step(progress);
  const int residueLevel = m_Spec.SortIntoBdt ? SORT_LEVEL_BR : 0;
  const int unbarcodedLevel = m_Spec.SortIntoBdt ? SORT_LEVEL_UR : 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
      const bool direct = info.BspLine[bsp] ? true : false;
      if (direct != (pass == 0)) continue;
      if (step.Cancelled()) return ERR_VASKREPORT_USER_CANCELLED;
      const int state = m_Spec.SortIntoStates ? s_BspState[bsp] : 0;
      std::ofstream* out = Slot(direct ? SORT_LEVEL_BDT : residueLevel, state);
      if (int rc = Append(buffer, bsp - 1, out, message)) return rc;
    }
  }
  for (int state = 0; state < STATE_COUNT; ++state) {
    if (step.Cancelled()) return ERR_VASKREPORT_USER_CANCELLED;
    std::ofstream* out = Slot(unbarcodedLevel, m_Spec.SortIntoStates ? state : 0);
    if (int rc = Append(buffer, TEMP_FIRST_UNBARCODED + state, out, message)) return rc;
  }
  if (step.Cancelled()) return ERR_VASKREPORT_USER_CANCELLED;
  std::ofstream* unknown = m_Spec.SortIntoStates ? &m_Unknown : Slot(unbarcodedLevel, 0);
  if (int rc = Append(buffer, TEMP_UNKNOWN_STATE, unknown, message)) return rc;
  std::ofstream* unrouted = m_Unrouted.is_open() ? &m_Unrouted : nullptr;
  if (!unrouted && !Resort()) return 0;
  return Append(buffer, TEMP_UNROUTED, unrouted, message);
}

int SplitOutputs::Close() {
  bool failed = false;
  auto close = [&failed](std::ofstream& out) {
    if (!out.is_open()) return;
    out.close();
    if (out.fail()) failed = true;
  };
  for (std::ofstream& slot : m_Slots) close(slot);
  close(m_Resort);
  close(m_Unknown);
  close(m_Unrouted);
  return failed ? ERR_VASKREPORT_WRITE_FILE : 0;
}

}  // namespace

int OpenOutputFile(std::ofstream& out, const char* fileName, const VaskReportSpec& spec,
                   char* message) {
  out.open(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!out.is_open()) {
    SetDetail(message, fileName);
    return ERR_VASKREPORT_OPEN_OUTPUT_FILE;
  }
  if (spec.FieldNamesOnFirstLine) out << HeaderLine(spec);
  return 0;
}

int AppendTempFile(char* buffer, int index, std::ofstream& out, bool alsoResort,
                   std::ofstream& resort, char* message, const char* tempDirectory) {
  return AppendBucket(buffer, index, &out, alsoResort ? &resort : nullptr, message,
                      tempDirectory);
}

int SortBuckets(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                int (*progress)(int), const char* tempDirectory, bool removeCopied) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[COPY_BUFFER_SIZE]);
  if (!buffer) return ERR_VASKREPORT_OUTOFMEMORY;
  SplitOutputs outputs(spec, tempDirectory, removeCopied);
  int rc = outputs.Open(message);
  if (!rc) rc = outputs.Run(info, buffer.get(), progress, message);
  int closed = outputs.Close();
  return rc ? rc : closed;
}

int SortIntoFiles(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                  int (*progress)(int), const char* tempDirectory) {
  return SortBuckets(info, spec, message, progress, tempDirectory, false);
}
