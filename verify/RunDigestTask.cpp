#include "verify/Digest.h"

#include <thread>

#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"
#include "verify/Recount.h"
#include "verify/Verify.h"

struct RunDigestTask::State {
  std::string Path;
  bool SkipHeader = false;
  LineFile File;
  RunDigestFile Digest;
  bool Read = false;
  std::thread Worker;
};

RunDigestTask::RunDigestTask() = default;

RunDigestTask::~RunDigestTask() {
  if (m_State && m_State->Worker.joinable()) m_State->Worker.join();
}

int RunDigestTask::Start(const VaskReportSpec& spec, const std::string& outputDirectory) {
  const std::string directory = verify::RunDirectory(spec, outputDirectory);
  if (!directory.empty() && !CreateDir(directory.c_str())) return ERR_VASKREPORT_CREATE_DIRECTORY;
  m_State.reset(new State);
  m_State->Path = directory + RUN_DIGEST_NAME;
  m_State->SkipHeader = spec.FieldNamesOnFirstLine;
  m_State->Digest.DataFile = spec.ExpandedPath;
  if (!m_State->File.Open(spec.ExpandedPath)) return ERR_VASKREPORT_OPEN_FILE;
  State* state = m_State.get();
  state->Worker = std::thread([state] {
    state->Read = DigestLines(state->File, state->SkipHeader, true, state->Digest.Records);
  });
  return 0;
}

int RunDigestTask::Finish() {
  if (!m_State || !m_State->Worker.joinable()) return ERR_VASKREPORT_OPEN_FILE;
  m_State->Worker.join();
  if (!m_State->Read) return ERR_VASKREPORT_READ_FILE;
  return WriteRunDigestFile(m_State->Path, m_State->Digest) ? 0 : ERR_VASKREPORT_WRITE_FILE;
}

int WriteRunDigest(const VaskReportSpec& spec, const std::string& outputDirectory) {
  RunDigestTask task;
  if (int rc = task.Start(spec, outputDirectory)) return rc;
  return task.Finish();
}
