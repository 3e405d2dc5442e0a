#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "spec/VaskReportSpec.h"

using namespace vrtest;

namespace {

const char* const kStates[] = {"NT", "nsw", "VIC", "QLD", "sa", "WA", "TAS", "ACT",
                               "", "Victoria", "XX", " "};
const char* const kBadBsps[] = {"0", "55", "99", "x", "", "-4", "1e"};

class DataMaker {
 public:
  explicit DataMaker(unsigned seed) : m_Random(seed) {}

  std::string Line() {
    switch (Pick(16)) {
      case 0: return Barcoded(kBadBsps[Pick(7)]);
      case 1: return ",," + std::string(kStates[Pick(12)]) + ",," + Name();
      case 2: return ",,,," + Name();
      case 3: return "1,\"3,VIC,0," + Name();                // no closing qualifier
      case 4: return "1,\"3\"x,VIC,0," + Name();             // text after the closing one
      case 5: return Barcoded(std::to_string(1 + Pick(54))) + "\r";
      case 6: return Pick(40) ? "   " : Barcoded("7") + std::string(300000 + Pick(900000), 'L');
      default: return Barcoded(std::to_string(Pick(4) ? 22 + Pick(2) : 1 + Pick(54)));
    }
  }

  std::string File(int records, bool header) {
    std::string text = header ? "DPID,BSP,STATE,FLAG,NAME\n" : "";
    for (int i = 0; i < records; ++i) {
      if (Pick(50) == 0) text += Pick(2) ? "\n" : "\r\n";
      text += Line() + "\n";
    }
    if (Pick(2)) text += Line();  // a last line without its line feed
    return text;
  }

  unsigned Pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(m_Random); }

 private:
  std::string Barcoded(const std::string& bsp) {
    return std::to_string(10000000 + Pick(9000000)) + "," + bsp + "," + kStates[Pick(12)] + "," +
           std::to_string(Pick(16)) + "," + Name();
  }
  std::string Name() {
    std::string name = "\"n" + std::to_string(Pick(100000)) + (Pick(5) ? "" : ",x\"\"y") + "\"";
    if (Pick(30) == 0) name += std::string(1, '\0') + "z";
    return name;
  }

  std::mt19937 m_Random;
};

// The lines that are records: every line but the header and blank lines.
std::vector<std::string> RecordLines(const std::string& text, bool header) {
  std::vector<std::string> lines;
  for (const std::string& line : Lines(text))
    if (!line.empty() && line != "\r") lines.push_back(line);
  if (header && !lines.empty()) lines.erase(lines.begin());
  return Sorted(lines);
}

}  // namespace

TEST(ResortProperty, EveryRecordLineReachesTheResortAndTheSplitExactlyOnce) {
  // On the caller's thread alone, and with the second thread the environment
  // may ask for.
  for (unsigned seed = 1; seed <= 4; ++seed) {
    ScopedEnv threads("VASKREPORT_THREADS", seed % 4 < 2 ? "2" : nullptr);
    DataMaker maker(seed);
    const bool header = seed % 2 == 1;
    const std::string data = maker.File(2500 + maker.Pick(1000), header);
    const std::vector<std::string> records = RecordLines(data, header);
    for (int settings = 0; settings < 8; ++settings) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " settings " + std::to_string(settings));
      TempDir dir;
      VaskReportSpec spec;
      UseLayout(spec, dir / "data/job.txt", '"');
      spec.FieldNamesOnFirstLine = header;
      spec.State = maker.Pick(8);
      spec.SortByBsp = settings & 1;
      spec.SortIntoBdt = settings & 2;
      spec.SortIntoStates = settings & 4;
      ASSERT_EQ(0, mkdir((dir / "data").c_str(), 0755));
      WriteFile(dir / "data/job.txt", data);
      char message[256];
      ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
      if (spec.SortByBsp)
        EXPECT_EQ(records, RecordLines(ReadFile(dir / "data/job.txt"), header));
      else
        EXPECT_EQ(data, ReadFile(dir / "data/job.txt"));
      std::vector<std::string> split;
      for (const auto& file : FilesIn(dir / "data")) {
        const std::string& name = file.first;
        if (name == "job.txt") continue;
        std::vector<std::string> lines = Lines(file.second);
        if (header) {
          ASSERT_FALSE(lines.empty()) << name;
          EXPECT_EQ("\"DPID\",\"BSP\",\"STATE\",\"FLAG\",\"NAME\"", lines.front()) << name;
          lines.erase(lines.begin());
        }
        split.insert(split.end(), lines.begin(), lines.end());
      }
      if (spec.SortIntoBdt || spec.SortIntoStates)
        EXPECT_EQ(records, Sorted(split));
      else
        EXPECT_TRUE(split.empty());
      EXPECT_FALSE(AnyTempFileLeft(dir / "tmp", true));
    }
  }
}
