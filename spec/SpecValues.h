#ifndef VASKREPORT_SPEC_SPECVALUES_H
#define VASKREPORT_SPEC_SPECVALUES_H

// Value syntaxes of the specification file.

enum CharacterValue { CHARACTER_OK, CHARACTER_BAD_CODE, CHARACTER_TOO_LONG };

// A non-zero number is a code 1..255; else one character, "0" and "" meaning none.
CharacterValue ParseCharacter(const char* value, char& out);
bool ParseFlag(const char* value);
// Read as strtol does, held within the range of an int.
int ParseNumber(const char* value);
// A text the label plan file cannot carry, its fields being unquoted.
bool BreaksLabelPlanText(const char* text);

#endif
