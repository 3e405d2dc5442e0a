#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>

#include "spec/TextLine.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

const size_t kMaxHeader = 2999;
const size_t kMaxMessage = MAX_TEXT;
const size_t kMaxName = 50;
const int kDefaultSize = 30;

void SetDetail(char* message, const char* a, const char* b = nullptr, const char* c = nullptr) {
  if (!message) return;
  strncpyz(message, a, kMaxMessage);
  if (b) strncatz(message, b, kMaxMessage);
  if (c) strncatz(message, c, kMaxMessage);
}

int ReadHeader(const char* path, char* line, char* message) {
  std::ifstream in(path);
  if (!in.is_open()) {
    int error = errno;
    SetDetail(message, path, ". ", strerror(error));
    return ERR_VASKREPORTSPEC_TEXTFILE_OPEN;
  }
  size_t length = 0;
  if (!ReadTextLine(in, line, kMaxHeader, length) || length > kMaxHeader || in.bad()) {
    SetDetail(message, "");
    return ERR_VASKREPORTSPEC_READ;
  }
  if (length == kMaxHeader) {
    SetDetail(message, "");
    return ERR_VASKREPORTSPEC_LINE_TOOLONG;
  }
  return 0;
}

// Qualifiers around a whole name are not part of it.
void Unqualify(char* item, char qualifier) {
  size_t n = strlen(item);
  if (n == 0 || item[0] != qualifier || item[n - 1] != qualifier) return;
  if (n == 1) {
    item[0] = '\0';
    return;
  }
  memmove(item, item + 1, n - 2);
  item[n - 2] = '\0';
}

int TakeNames(VaskReportSpec& spec, char** items, char* message) {
  int count = 0;
  for (char** p = items; *p; ++p, ++count)
    if (strlen(*p) > kMaxName) {
      SetDetail(message, *p);
      return ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG;
    }
  VaskReportSpec::FieldSpec* fields = new (std::nothrow) VaskReportSpec::FieldSpec[count];
  if (!fields) {
    SetDetail(message, "");
    return ERR_VASKREPORTSPEC_OUTOFMEMORY;
  }
  for (int i = 0; i < count; ++i) {
    strncpyz(fields[i].Name, items[i], kMaxName);
    fields[i].Size = kDefaultSize;
  }
  delete[] spec.Fields;
  spec.Fields = fields;
  spec.FieldCount = count;
  return 0;
}

int CheckNames(const VaskReportSpec& spec, char** items, char* message) {
  int i = 0;
  for (; items[i] && i < spec.FieldCount; ++i)
    if (strcasecmp(items[i], spec.Fields[i].Name) != 0) {
      SetDetail(message, spec.Fields[i].Name, ", ", items[i]);
      return ERR_VASKREPORTSPEC_FIELDNAMES_OUT;
    }
  if (items[i]) {
    SetDetail(message, items[i]);
    return ERR_VASKREPORTSPEC_FIELDNAMES_OUT;
  }
  // A header may lack the last field's name alone.
  if (i <= spec.FieldCount - 2) {
    SetDetail(message, spec.Fields[i].Name);
    return ERR_VASKREPORTSPEC_FIELDNAMES_OUT;
  }
  return 0;
}

int DelimitedNames(VaskReportSpec& spec, const char* line, char* message) {
  char** items = Split_(line, spec.Delimiter);
  if (!items) {
    SetDetail(message, "");
    return ERR_VASKREPORTSPEC_OUTOFMEMORY;
  }
  if (spec.Qualifier)
    for (char** p = items; *p; ++p) Unqualify(*p, spec.Qualifier);
  int code = spec.FieldCount == 0 ? TakeNames(spec, items, message)
                                  : CheckNames(spec, items, message);
  FreeArray_(items);
  return code;
}

// The whole cell is compared, however wide the field; only the detail is cut.
int FixedWidthNames(const VaskReportSpec& spec, const char* line, char* message) {
  if (spec.FieldCount == 0) {
    SetDetail(message, "");
    return ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE;
  }
  size_t length = strlen(line);
  size_t position = 0;
  for (int i = 0; i < spec.FieldCount; ++i) {
    const VaskReportSpec::FieldSpec& field = spec.Fields[i];
    size_t width = field.Size > 0 ? static_cast<size_t>(field.Size) : 0;
    size_t start = position < length ? position : length;
    size_t end = length - start < width ? length : start + width;
    while (end > start && line[end - 1] == ' ') --end;
    size_t cellLength = end - start;
    char cell[kMaxMessage + 1];
    strncpyz(cell, line + start, cellLength < kMaxMessage ? cellLength : kMaxMessage);
    if (cellLength != strlen(field.Name) || strcasecmp(cell, field.Name) != 0) {
      SetDetail(message, field.Name, ", ", cell);
      return ERR_VASKREPORTSPEC_FIELDNAMES_OUT;
    }
    position = length - start < width ? length : start + width;
  }
  return 0;
}

}  // namespace

int VaskReportSpec::GetAndCheckFieldNames(char* message) {
  // A pipe or a device gives its lines once, to the run: the header line
  // cannot be read ahead of it. Defined fields then go unchecked; without
  // them there are no names to take.
  struct stat st;
  if (stat(ExpandedPath, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    if (FieldCount > 0) return 0;
    SetDetail(message, ExpandedPath, ". not a regular file");
    return ERR_VASKREPORTSPEC_TEXTFILE_OPEN;
  }
  char line[kMaxHeader + 1];
  if (int rc = ReadHeader(ExpandedPath, line, message)) return rc;
  if (Delimiter) return DelimitedNames(*this, line, message);
  return FixedWidthNames(*this, line, message);
}
