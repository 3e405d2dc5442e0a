// Throughput of the record readers alone, in bytes of data-file lines per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/RoleScanner.h"
#include "spec/VaskReportSpec.h"

namespace {

void Layout(VaskReportSpec& spec, const std::vector<int>& sizes) {
  delete[] spec.Fields;
  spec.FieldCount = static_cast<int>(sizes.size());
  spec.Fields = new VaskReportSpec::FieldSpec[sizes.size()];
  for (size_t i = 0; i < sizes.size(); ++i) spec.Fields[i].Size = sizes[i];
  spec.CalculateFieldOffsets();
}

void Run(benchmark::State& state, const VaskReportSpec& spec, const std::vector<std::string>& lines) {
  std::vector<char> record(spec.RecordLength + 1);
  size_t bytes = 0;
  for (const auto& l : lines) bytes += l.size() + 1;
  for (auto _ : state) {
    for (const auto& l : lines) benchmark::DoNotOptimize(spec.ReadRecord(record.data(), l.c_str()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}

std::vector<std::string> Lines(const char* pattern, int count) {
  std::vector<std::string> lines;
  char line[256];
  for (int i = 0; i < count; ++i) {
    snprintf(line, sizeof line, pattern, i, i * 7919 % 100000, i % 54 + 1);
    lines.push_back(line);
  }
  return lines;
}

void BM_Delimited(benchmark::State& state) {
  VaskReportSpec spec;
  spec.Delimiter = ',';
  Layout(spec, {10, 30, 30, 30, 20, 20, 3, 4, 8, 2, 2});
  Run(state, spec,
      Lines("C%09d,Dear Jack,Jack Taylor,97 King St,,GLENELG,VIC,2836,400%05d,%d,0", 1000));
}

void BM_Qualified(benchmark::State& state) {
  VaskReportSpec spec;
  spec.Delimiter = ',';
  spec.Qualifier = '"';
  Layout(spec, {10, 30, 30, 30, 20, 20, 3, 4, 8, 2, 2});
  Run(state, spec,
      Lines("\"C%09d\",\"Dear Jack\",\"Taylor, Jack\",\"97 King St\",\"\",\"GLENELG\",\"VIC\","
            "\"2836\",\"400%05d\",\"%d\",\"0\"",
            1000));
}

void BM_FixedWidth(benchmark::State& state) {
  VaskReportSpec spec;
  Layout(spec, {10, 20, 20, 20, 10, 15, 3, 4, 8, 2, 2});
  Run(state, spec,
      Lines("C%09dDear Jack           Jack Taylor         97 King St                    "
            "GLENELG        VIC2836400%05d%2d 0",
            1000));
}

// The read pass's reader of plain layouts: the four role values of every
// line of a block, straight from the data.
void BM_RoleScanner(benchmark::State& state) {
  VaskReportSpec spec;
  spec.Delimiter = ',';
  Layout(spec, {10, 30, 30, 30, 20, 20, 3, 4, 8, 2, 2});
  spec.StateField = 6;
  spec.DpidField = 8;
  spec.BspField = 9;
  spec.AmendedField = 10;
  std::string block;
  for (const std::string& line :
       Lines("C%09d,Dear Jack,Jack Taylor,97 King St,,GLENELG,VIC,2836,400%05d,%d,0", 1000))
    block += line + "\n";
  const RoleScanner scanner(spec);
  for (auto _ : state) {
    size_t kept = 0;
    scanner.Scan(&block[0], &block[0] + block.size(), [&](const DataLine&, const LineRoles& roles) {
      kept += roles.Value[ROLE_BSP].Length;
      return 0;
    });
    benchmark::DoNotOptimize(kept);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.size()));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 1000));
}

}  // namespace

BENCHMARK(BM_Delimited);
BENCHMARK(BM_RoleScanner);
BENCHMARK(BM_Qualified);
BENCHMARK(BM_FixedWidth);
