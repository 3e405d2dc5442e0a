#include "engine/Resort.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "base/States.h"
#include "engine/JobThread.h"
#include "engine/OutputFile.h"
#include "engine/SelfClosingFILE.h"
#include "engine/SortPlan.h"
#include "engine/Tallies.h"
#include "engine/TempFiles.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

void SetDetail(char* message, const char* text) {
  if (message) strncpyz(message, text, MAX_TEXT);
}

// The resort copy's stream. Given two buffers and a thread of its own, it
// writes one while the caller copies the same bytes to a split file and
// reads the next ones into the other; else it writes each in turn.
class ResortWriter {
 public:
  ResortWriter(std::ofstream& out, char* first, char* second)
      : m_Out(out), m_First(first), m_Second(second) {
    if (!m_First || !m_Second || !m_Thread.Start()) m_Second = nullptr;
  }

  // Hands over size bytes at buffer and returns the buffer to fill next;
  // buffer itself stays in use until the next Write or Wait.
  char* Write(char* buffer, size_t size) {
    if (!m_Second) {
      m_Out.write(buffer, static_cast<std::streamsize>(size));
      return buffer;
    }
    // Posting waits for the buffer handed over before, so the other is free.
    m_Thread.Post([this, buffer, size] { m_Out.write(buffer, static_cast<std::streamsize>(size)); });
    return buffer == m_First ? m_Second : m_First;
  }

  // Waits for what was handed over; false once a write has failed.
  bool Wait() {
    m_Thread.Wait();
    return !m_Out.fail();
  }

 private:
  std::ofstream& m_Out;
  char* const m_First;
  char* m_Second;
  JobThread m_Thread;
};

// Copies one temporary file to each destination that is not null; with
// removeAfter, removes it once copied.
int AppendBucket(char* buffer, int index, std::ofstream* out, ResortWriter* resort,
                 char* message, const char* tempDirectory, bool removeAfter = false) {
  char name[TEMP_NAME_SIZE];
  MakeTempFileName(name, index, tempDirectory);
  SelfClosingFILE in;
  if (!in.Open(name, "r", false)) {
    SetDetail(message, name);
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  }
  while (size_t got = std::fread(buffer, 1, COPY_BUFFER_SIZE, in.f())) {
    char* next = resort ? resort->Write(buffer, got) : buffer;
    if (out) out->write(buffer, static_cast<std::streamsize>(got));
    buffer = next;
  }
  const bool resorted = !resort || resort->Wait();
  if (std::ferror(in.f())) return ERR_VASKREPORT_READ_FILE;
  if ((out && out->fail()) || !resorted) return ERR_VASKREPORT_WRITE_FILE;
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
  // The copying goes through buffer; spare, when not null, lets the resort
  // copy be written on a second thread.
  SplitOutputs(const SortPlan& plan, const VaskReportSpec& spec, const char* tempDirectory,
               bool removeCopied, char* buffer, char* spare)
      : m_Plan(plan), m_Spec(spec), m_TempDirectory(tempDirectory), m_RemoveCopied(removeCopied),
        m_Buffer(buffer), m_Spare(spare) {}

  int Open(char* message);
  int Run(int (*progress)(int), char* message);
  int Close(char* message);

 private:
  std::ofstream* File(int file) {
    if (file == SortPlan::UNKNOWN_FILE) return &m_Unknown;
    return file == SortPlan::NO_FILE ? nullptr : &m_Slots[file];
  }
  ResortWriter* Resort() { return m_ResortWriter.get(); }
  int Append(int index, std::ofstream* out, char* message) {
    int rc = AppendBucket(m_Buffer, index, out, Resort(), message, m_TempDirectory, m_RemoveCopied);
    if (rc == ERR_VASKREPORT_WRITE_FILE)
      SetDetail(message, NameOf(out && out->fail() ? out : &m_Resort).c_str());
    return rc;
  }
  // The name of one of the outputs, for the message of a failed write.
  std::string NameOf(const std::ofstream* out) const;

  const SortPlan& m_Plan;
  const VaskReportSpec& m_Spec;
  const char* m_TempDirectory;
  const bool m_RemoveCopied;
  char* const m_Buffer;
  char* const m_Spare;
  std::ofstream m_Slots[SORT_LEVEL_COUNT * STATE_COUNT];
  std::ofstream m_Resort;
  std::ofstream m_Unknown;
  std::ofstream m_Unrouted;
  // After the stream it writes, so that it is stopped first.
  std::unique_ptr<ResortWriter> m_ResortWriter;
};

std::string SplitOutputs::NameOf(const std::ofstream* out) const {
  if (out == &m_Unknown) return m_Plan.UnknownName();
  if (out == &m_Unrouted) return m_Plan.UnroutedName();
  if (out >= m_Slots && out < m_Slots + m_Plan.Slots())
    return m_Plan.SlotName(static_cast<int>(out - m_Slots));
  char name[TEMP_NAME_SIZE];
  return MakeTempFileName(name, TEMP_RESORT_COPY, m_TempDirectory);
}

int SplitOutputs::Open(char* message) {
  for (int slot = 0; slot < m_Plan.Slots(); ++slot)
    if (int rc = OpenOutputFile(m_Slots[slot], m_Plan.SlotName(slot).c_str(), m_Spec, message))
      return rc;
  if (m_Spec.SortByBsp) {
    char name[TEMP_NAME_SIZE];
    MakeTempFileName(name, TEMP_RESORT_COPY, m_TempDirectory);
    if (int rc = OpenOutputFile(m_Resort, name, m_Spec, message)) return rc;
    m_ResortWriter.reset(new (std::nothrow) ResortWriter(m_Resort, m_Buffer, m_Spare));
    if (!m_ResortWriter) return ERR_VASKREPORT_OUTOFMEMORY;
  }
  if (m_Spec.SortIntoStates)
    if (int rc = OpenOutputFile(m_Unknown, m_Plan.UnknownName().c_str(), m_Spec, message))
      return rc;
  if (!m_Plan.Split()) return 0;
  bool unrouted = false;
  if (!TempFileHasData(m_TempDirectory, TEMP_UNROUTED, unrouted, message))
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  const std::string name = m_Plan.UnroutedName();
  if (!unrouted) {
    std::remove(name.c_str());  // an older file of that name describes another run
    return 0;
  }
  return OpenOutputFile(m_Unrouted, name.c_str(), m_Spec, message);
}

int SplitOutputs::Run(int (*progress)(int), char* message) {
  Progress step(progress);
  for (int k = 0; k < SortPlan::STEPS; ++k) {
    if (step.Cancelled()) return ERR_VASKREPORT_USER_CANCELLED;
    if (int rc = Append(m_Plan.StepBucket(k), File(m_Plan.StepFile(k)), message)) return rc;
  }
  std::ofstream* unrouted = m_Unrouted.is_open() ? &m_Unrouted : nullptr;
  if (!unrouted && !Resort()) return 0;
  return Append(TEMP_UNROUTED, unrouted, message);
}

int SplitOutputs::Close(char* message) {
  const std::ofstream* failed = nullptr;
  auto close = [&failed](std::ofstream& out) {
    if (!out.is_open()) return;
    out.close();
    if (out.fail() && !failed) failed = &out;
  };
  m_ResortWriter.reset();
  for (std::ofstream& slot : m_Slots) close(slot);
  close(m_Resort);
  close(m_Unknown);
  close(m_Unrouted);
  if (!failed) return 0;
  SetDetail(message, NameOf(failed).c_str());
  return ERR_VASKREPORT_WRITE_FILE;
}

}  // namespace

int AppendTempFile(char* buffer, int index, std::ofstream& out, bool alsoResort,
                   std::ofstream& resort, char* message, const char* tempDirectory) {
  ResortWriter writer(resort, buffer, nullptr);
  return AppendBucket(buffer, index, &out, alsoResort ? &writer : nullptr, message,
                      tempDirectory);
}

int SortBuckets(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                int (*progress)(int), const char* tempDirectory, bool removeCopied) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[COPY_BUFFER_SIZE]);
  if (!buffer) return ERR_VASKREPORT_OUTOFMEMORY;
  // Without it the resort copy is written on this thread, only slower.
  std::unique_ptr<char[]> spare(spec.SortByBsp && SecondThreadWanted()
                                    ? new (std::nothrow) char[COPY_BUFFER_SIZE]
                                    : nullptr);
  const SortPlan plan(info, spec);
  SplitOutputs outputs(plan, spec, tempDirectory, removeCopied, buffer.get(), spare.get());
  int rc = outputs.Open(message);
  if (!rc) rc = outputs.Run(progress, message);
  // A failure's message is kept; a close that fails after it says nothing.
  int closed = outputs.Close(rc ? nullptr : message);
  return rc ? rc : closed;
}

int SortIntoFiles(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                  int (*progress)(int), const char* tempDirectory) {
  return SortBuckets(info, spec, message, progress, tempDirectory, false);
}
