// Record reader over arbitrary lines and layouts; the record buffer is
// allocated to exactly RecordLength so any overrun is caught.
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "spec/VaskReportSpec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  VaskReportSpec spec;
  spec.Delimiter = static_cast<char>(in.Byte());
  spec.Qualifier = static_cast<char>(in.Byte());  // 0: none; 128..255 must work too
  int count = in.Byte() % 17;
  if (count) {
    spec.Fields = new VaskReportSpec::FieldSpec[count];
    spec.FieldCount = count;
    for (int i = 0; i < count; ++i) spec.Fields[i].Size = 1 + in.Byte() % 64;
  }
  spec.CalculateFieldOffsets();
  std::string line = in.Rest();
  std::unique_ptr<char[]> record(new char[spec.RecordLength ? spec.RecordLength : 1]);
  int rc = spec.ReadRecord(record.get(), line.c_str());
  if (rc != 0 && rc != ERR_READRECORD_INVALID_RECORD && !(rc == ERR_READRECORD_NO_FIELDS && !count))
    __builtin_trap();
  if (rc == ERR_READRECORD_INVALID_RECORD && !spec.Delimiter) __builtin_trap();
  if (rc == 0) {
    for (int i = 0; i < count; ++i) {
      const char* field = record.get() + spec.Fields[i].Offset;
      if (strlen(field) > static_cast<size_t>(spec.Fields[i].Size)) __builtin_trap();
    }
  }
  return 0;
}
