#include "FailureText.h"

#include "include/vaskreport.h"

namespace {

const FailureText s_Texts[] = {
    {ERR_INIFILE_DUPLICATE_ENTRY, ABOUT_SPEC, "key given twice in a section"},
    {ERR_INIFILE_DUPLICATE_SECTION, ABOUT_SPEC, "section given twice"},
    {ERR_INIFILE_LINE_OUTOF_SECTION, ABOUT_SPEC, "line before the first section"},
    {ERR_INIFILE_INVALID_LINE, ABOUT_SPEC, "line that is neither [section] nor key=value"},
    {ERR_INIFILE_LINE_TOOLONG, ABOUT_SPEC, "line too long"},
    {ERR_INIFILE_OUT_OF_MEMORY, ABOUT_NOTHING, "out of memory"},
    {ERR_VASKREPORTSPEC_OUTOFMEMORY, ABOUT_NOTHING, "out of memory"},
    {ERR_VASKREPORTSPEC_MISSING_FILESECTION, ABOUT_SPEC, "no [File] section"},
    {ERR_VASKREPORTSPEC_FILENAME_TOOLONG, ABOUT_SPEC, "data file name too long"},
    {ERR_VASKREPORTSPEC_INVALID_DELIMITER, ABOUT_SPEC, "invalid delimiter"},
    {ERR_VASKREPORTSPEC_DELIMITER_TOOLONG, ABOUT_SPEC, "delimiter too long"},
    {ERR_VASKREPORTSPEC_INVALID_QUALIFIER, ABOUT_SPEC,
     "invalid qualifier (a code above 255, or the delimiter itself)"},
    {ERR_VASKREPORTSPEC_QUALIFIER_TOOLONG, ABOUT_SPEC, "qualifier too long"},
    {ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS, ABOUT_SPEC, "invalid number of fields"},
    {ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG, ABOUT_SPEC, "field name too long"},
    {ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, ABOUT_SPEC, "invalid field size"},
    {ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE, ABOUT_SPEC, "field without a size"},
    {ERR_VASKREPORTSPEC_MISSING_FIELD_NAME, ABOUT_SPEC, "field without a name"},
    {ERR_VASKREPORTSPEC_MISSING_DPIDFIELD, ABOUT_SPEC, "no DPID field"},
    {ERR_VASKREPORTSPEC_MISSING_FLAGFIELD, ABOUT_SPEC,
     "no amendment flag field, which the matching summary needs"},
    {ERR_VASKREPORTSPEC_UNKNOWN_FIELD, ABOUT_SPEC, "role given to no field of the layout"},
    {ERR_VASKREPORTSPEC_MISSING_BSPFIELD, ABOUT_SPEC,
     "no BSP field, which the manifest and the label plan need"},
    {ERR_VASKREPORTSPEC_UNKNOWN_STATE, ABOUT_SPEC, "unknown state"},
    {ERR_VASKREPORTSPEC_TEXTFILE_OPEN, ABOUT_WITH_REASON, "cannot open"},
    {ERR_VASKREPORTSPEC_LINE_TOOLONG, ABOUT_DATA, "line of field names too long"},
    {ERR_VASKREPORTSPEC_FIELDNAMES_OUT, ABOUT_DATA,
     "field names differ from the specification's"},
    {ERR_READRECORD_NO_FIELDS, ABOUT_SPEC, "no fields"},
    {ERR_READRECORD_INVALID_RECORD, ABOUT_DATA, "line that is not a record"},
    {ERR_VASKREPORTSPEC_SPECFILE_OPEN, ABOUT_READ, "cannot open"},
    {ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, ABOUT_SPEC, "invalid field number"},
    {ERR_VASKREPORTSPEC_READ, ABOUT_DATA, "cannot read the line of field names"},
    {ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY, ABOUT_SPEC,
     "letters per tray below 1 or too large"},
    {ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT, ABOUT_SPEC,
     "text that would break the label plan file"},
    {ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER, ABOUT_SPEC,
     "weight of a letter not from 0 to 10 kilograms"},
    {ERR_VASKREPORT_OUTOFMEMORY, ABOUT_NOTHING, "out of memory"},
    {ERR_VASKREPORT_NO_FILE, ABOUT_SPEC, "no data file"},
    {ERR_VASKREPORT_OPEN_FILE, ABOUT_READ, "cannot open"},
    {ERR_VASKREPORT_OPEN_SORT_FILE, ABOUT_WRITE, "cannot open a temporary file"},
    {ERR_VASKREPORT_OPEN_OUTPUT_FILE, ABOUT_WRITE, "cannot create"},
    {ERR_VASKREPORT_DELETE_FILE, ABOUT_WRITE, "cannot remove"},
    {ERR_VASKREPORT_NO_RECORD_LENGTH, ABOUT_SPEC, "no record length"},
    {ERR_VASKREPORT_NO_DPIDFIELD, ABOUT_SPEC, "no DPID field"},
    {ERR_VASKREPORT_READ_FILE, ABOUT_DATA, "read error"},
    {ERR_VASKREPORT_WRITE_FILE, ABOUT_WRITE, "write error"},
    {ERR_VASKREPORT_RENAME_FILE, ABOUT_DATA,
     "changed while the run read it, or cannot be replaced; the resorted copy is kept"},
    {ERR_VASKREPORT_USER_CANCELLED, ABOUT_NOTHING, "interrupted"},
    {ERR_VASKREPORT_CREATE_DIRECTORY, ABOUT_WRITE, "cannot create the directory"},
};

}  // namespace

const FailureText* FindFailureText(int code) {
  for (const FailureText& text : s_Texts)
    if (text.Code == code) return &text;
  return nullptr;
}
