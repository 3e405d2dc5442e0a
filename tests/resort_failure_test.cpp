#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"

using namespace vrtest;

namespace {

std::string Data() {
  std::string data;
  for (int i = 0; i < 1000; ++i) data += "1,30,,0,d" + std::to_string(i) + "\n";
  data += "1,5,,0,r\n,,WA,,u\n,,?,,k\nbroken\n";
  return data;
}

// The data file's lines in lodgement order.
std::string Resorted() {
  std::string data;
  for (int i = 0; i < 1000; ++i) data += "1,30,,0,d" + std::to_string(i) + "\n";
  return data + "1,5,,0,r\n,,WA,,u\n,,?,,k\nbroken\n";
}

bool SameFileSystem(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

}  // namespace

// A resorting run whose output directory is on another file system than its
// data file, job.txt, which holds Data().
class ResortAcrossFileSystems : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(shm.path().empty());
    if (SameFileSystem(dir.path(), shm.path())) GTEST_SKIP() << "/dev/shm is no other file system";
    UseLayout(spec, dir / "job.txt");
    spec.SortByBsp = true;
    WriteFile(dir / "job.txt", Data());
  }
  TempDir dir;
  TempDir shm{"/dev/shm"};
  VaskReportSpec spec;
};

namespace {

// What another program does to the data file while a run reads it.
std::string g_DataPath;
int g_ChangeAt = 0;
bool g_Replace = false;

int ChangeDataAt(int value) {
  if (value != g_ChangeAt) return 0;
  if (g_Replace) {
    WriteFile(g_DataPath + ".other", Data() + "1,5,,0,new\n");
    EXPECT_EQ(0, rename((g_DataPath + ".other").c_str(), g_DataPath.c_str()));
  } else {
    std::ofstream(g_DataPath, std::ios::app) << "1,5,,0,late\n";
  }
  return 0;
}

}  // namespace

// Records written to the data file, or a new file put in its place, while the
// run reads it are not in the resorted copy: the run must not replace it.
TEST(ResortFailure, ADataFileChangedDuringTheRunIsNotReplaced) {
  for (bool replace : {false, true})
    for (int at : {1000, -1, -63}) {
      SCOPED_TRACE(std::string(replace ? "replaced" : "appended to") + " at " + std::to_string(at));
      TempDir dir;
      VaskReportSpec spec;
      UseLayout(spec, dir / "job.txt");
      spec.SortByBsp = true;
      WriteFile(dir / "job.txt", Data());
      g_DataPath = dir / "job.txt";
      g_ChangeAt = at;
      g_Replace = replace;
      char message[256];
      EXPECT_EQ(ERR_VASKREPORT_RENAME_FILE,
                CreateReports(spec, (dir / "tmp").c_str(), message, ChangeDataAt));
      EXPECT_EQ("ERR_VASKREPORT_RENAME_FILE\n" + dir.path() + "/tmp/63.tmp -> " + g_DataPath,
                message);
      EXPECT_TRUE(Data() + (replace ? "1,5,,0,new\n" : "1,5,,0,late\n") == ReadFile(g_DataPath));
      // A line added while the file was still being read may be in the copy.
      if (at < 0) {
        EXPECT_TRUE(Resorted() == ReadFile(dir / "tmp/63.tmp"));
      } else {
        EXPECT_TRUE(FileExists(dir / "tmp/63.tmp"));
      }
    }
}

// Across file systems the copy is made beside the data file first: it takes
// the mailing's mode, a name it cannot take fails the run, and a data file
// changed during the run is not replaced.
TEST_F(ResortAcrossFileSystems, ReplacesTheDataFileOnlyWhenNothingElseChangedIt) {
  ASSERT_EQ(0, chmod((dir / "job.txt").c_str(), 0640));
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, shm.path().c_str(), message, nullptr)) << message;
  EXPECT_EQ(Resorted(), ReadFile(dir / "job.txt"));
  EXPECT_FALSE(AnyTempFileLeft(shm.path(), true));
  EXPECT_FALSE(FileExists(dir / ".job.txt.resort0"));
  struct stat st;
  ASSERT_EQ(0, stat((dir / "job.txt").c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);

  WriteFile(dir / "job.txt", Data());
  g_DataPath = dir / "job.txt";
  g_ChangeAt = -63;
  g_Replace = false;
  EXPECT_EQ(ERR_VASKREPORT_RENAME_FILE,
            CreateReports(spec, shm.path().c_str(), message, ChangeDataAt));
  EXPECT_TRUE(Data() + "1,5,,0,late\n" == ReadFile(g_DataPath));
  EXPECT_TRUE(Resorted() == ReadFile(shm.path() + "/63.tmp"));
  EXPECT_FALSE(FileExists(dir / ".job.txt.resort0"));

  // Every name the copy beside the data file could take is in use.
  WriteFile(dir / "job.txt", Data());
  for (int i = 0; i < 100; ++i) WriteFile(dir / (".job.txt.resort" + std::to_string(i)), "");
  EXPECT_EQ(ERR_VASKREPORT_RENAME_FILE, CreateReports(spec, shm.path().c_str(), message, nullptr));
  EXPECT_EQ("ERR_VASKREPORT_RENAME_FILE\n" + shm.path() + "/63.tmp -> " + dir.path() + "/job.txt",
            message);
  EXPECT_EQ(Data(), ReadFile(dir / "job.txt"));
  EXPECT_EQ(Resorted(), ReadFile(shm.path() + "/63.tmp"));
  EXPECT_EQ("", ReadFile(dir / ".job.txt.resort0"));
}

// Data files that are not plain files: a pipe is read once, by the run, and
// only a run that does not resort may read one; a device or a pipe is never
// replaced; a link is replaced where it points and stays a link.
TEST(ResortFailure, OddDataFilesAreReadOnceAndReplacedOnlyWhenRegular) {
  struct Case {
    const char* Name;
    enum { FIFO, DEV_NULL, LINK } Kind;
    bool Resort, Split, Header;
    int Code;
  } cases[] = {
      {"pipe, resorted", Case::FIFO, true, false, false, ERR_VASKREPORT_OPEN_FILE},
      {"pipe, split", Case::FIFO, false, true, false, 0},
      {"pipe with a header, split", Case::FIFO, false, true, true, 0},
      {"/dev/null, resorted", Case::DEV_NULL, true, true, false, ERR_VASKREPORT_OPEN_FILE},
      {"link, resorted", Case::LINK, true, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TempDir dir;
    ASSERT_EQ(0, mkdir((dir / "real").c_str(), 0755));
    const std::string path = c.Kind == Case::DEV_NULL ? "/dev/null" : dir / "job.txt";
    VaskReportSpec spec;
    UseLayout(spec, path);
    spec.SortByBsp = c.Resort;
    spec.SortIntoBdt = c.Split;
    spec.FieldNamesOnFirstLine = c.Header;
    const std::string header = c.Header ? "DPID,BSP,STATE,FLAG,NAME\n" : "";
    char message[256] = "";
    std::thread writer;
    if (c.Kind == Case::FIFO) {
      ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
      // A refused run never opens the pipe; it is opened here so the writer ends.
      if (!c.Code) writer = std::thread([&] { WriteFile(path, header + Data()); });
    } else if (c.Kind == Case::LINK) {
      WriteFile(dir / "real/job.txt", Data());
      ASSERT_EQ(0, symlink("real/job.txt", path.c_str()));
    }
    ASSERT_EQ(0, spec.Validate(message)) << message;
    EXPECT_EQ(c.Code, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
    if (writer.joinable()) writer.join();
    struct stat st;
    ASSERT_EQ(0, lstat(path.c_str(), &st));
    if (c.Code) {
      EXPECT_EQ("ERR_VASKREPORT_OPEN_FILE\n" + path + ". not a regular file", message);
      EXPECT_TRUE(c.Kind == Case::FIFO ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode));
      EXPECT_FALSE(FileExists(dir / "tmp/00.tmp") || FileExists(dir / "BDT_job.txt"));
    } else if (c.Kind == Case::LINK) {
      EXPECT_TRUE(S_ISLNK(st.st_mode));
      EXPECT_TRUE(Resorted() == ReadFile(dir / "real/job.txt"));
    } else {
      EXPECT_TRUE(S_ISFIFO(st.st_mode));
      // Every record the pipe held was read, by the run alone.
      EXPECT_EQ(Data().size() - std::string("1,5,,0,r\n,,WA,,u\n,,?,,k\nbroken\n").size(),
                ReadFile(dir / "BDT_job.txt").size() - header.size());
      EXPECT_EQ(header + "1,5,,0,r\n", ReadFile(dir / "BR_job.txt"));
      EXPECT_EQ(header + ",,WA,,u\n,,?,,k\n", ReadFile(dir / "UR_job.txt"));
      EXPECT_EQ(header + "broken\n", ReadFile(dir / "ERR_job.txt"));
    }
  }
}
