#ifndef VASKREPORT_SPEC_VASKREPORTSPEC_H
#define VASKREPORT_SPEC_VASKREPORTSPEC_H

#include <fstream>
#include <ostream>

#include "include/vaskreport.h"
#include "util/Export.h"
#include "util/StrUtil.h"

class IniEntry;

// Everything one report run needs: the data file and its record layout, the
// roles of its fields, the documents wanted and the texts printed in them.
// Text members hold the number of characters in their name's comment plus the
// terminator. The object owns Fields and RemoveField and is never copied.
class VR_API VaskReportSpec {
 public:
  struct FieldSpec {
    char Name[51];  // compared without regard to case
    int Size;       // characters kept; at least 1 in a valid layout
    int Offset;     // start in the record buffer, set by CalculateFieldOffsets
    FieldSpec() : Name{}, Size(0), Offset(0) {}
  };

  char ExpandedPath[TEXT_SIZE];  // the path that is opened
  char Path[TEXT_SIZE];          // as written, before alias expansion
  char Delimiter;          // 0: fixed-width records
  char Qualifier;          // 0: none
  bool FieldNamesOnFirstLine;
  FieldSpec* Fields;
  int FieldCount;
  int RecordLength;  // sum of Size + 1 over all fields
  int BspField;      // 0-based field indexes; -1 none
  int StateField;
  int DpidField;
  int AmendedField;
  char OutputDirectory[TEXT_SIZE];
  bool ManifestReport;
  int LettersPerTray;
  double WeightOfLetter;  // kilograms
  int State;              // state of lodgement; -1 not given
  char CustomerName[51];
  char JobNumber[31];
  bool MatchingReport;
  char PafVersion[41];
  char ProcessDate[31];
  char CertifiedDate[31];
  char SoftwareName[51];
  char SoftwareVersion[11];
  char ListProcessor[51];
  char ListName[51];
  char ListOwner[51];
  bool SortByBsp;
  bool SortIntoStates;
  bool SortIntoBdt;
  int* RemoveField;  // field indexes ended by -1, or null
  bool LabelPlanFile;
  char LabelPlanName[51];
  char LabelCustomerName[51];
  char CustomerPhone[51];
  char LabelJobNumber[51];
  int LabelState;  // -1 not given
  char Service[51];
  char MailSize[51];
  char Prefix;  // 0: none
  char ErrorDetail[TEXT_SIZE];

  VaskReportSpec();
  ~VaskReportSpec();
  VaskReportSpec(const VaskReportSpec&) = delete;
  VaskReportSpec& operator=(const VaskReportSpec&) = delete;

  void Clear();
  void SetPath(const char* path);
  int FindField(const char* name) const;
  int LookupField(const char* text);
  void CalculateFieldOffsets();
  int Validate(char* message);
  int Validate_();
  static void LookupError(int code, char* message);

  // Specification file.
  int Read(const char* fileName, char* message);
  int Read(std::ifstream& in, char* message, std::ostream* ignoredOut);
  int Read_(std::ifstream& in, std::ostream* ignoredOut);
  int ReturnError(int code, const IniEntry& entry);
  int Write(const char* fileName);

  // Splits one data-file line into the record buffer (RecordLength characters).
  int ReadRecord(char* record, const char* line) const;

  int GetAndCheckFieldNames(char* message);

  // Console dialogue on standard error and standard input.
  int PromptUserSpec();
  void PromptUserFieldName(const char* role, int& field);
};

// SetPath; ERR_VASKREPORTSPEC_FILENAME_TOOLONG, with ExpandedPath left
// empty, when the expansion does not fit 255 characters.
int SetDataPath(VaskReportSpec& spec, const char* path);

#endif
