#ifndef VASKREPORT_SPEC_SPECVALUES_H
#define VASKREPORT_SPEC_SPECVALUES_H

// Value syntaxes of the specification file.

enum CharacterValue { CHARACTER_OK, CHARACTER_BAD_CODE, CHARACTER_TOO_LONG };

// A non-zero number is a code 1..255; else one character, "0" and "" meaning none.
CharacterValue ParseCharacter(const char* value, char& out);
bool ParseFlag(const char* value);
// Read as strtol does, held within the range of an int.
int ParseNumber(const char* value);
// As ParseNumber; false when the number does not fit an int.
bool ParseCount(const char* value, int& out);
// A letter's weight in kilograms: finite, not negative, and small enough
// that the total of a mailing of a billion letters fits the Weight column
// (15 characters, two decimals) of the Manifest Report.
const double kMaxWeightOfLetter = 10.0;
bool WeightOfLetterFits(double kilograms);
// A decimal number, alone but for blanks; an empty value is 0. False for any
// other text, such as a decimal comma, which would read as a smaller weight.
bool ParseWeight(const char* value, double& out);
// A text the label plan file cannot carry, its fields being unquoted.
bool BreaksLabelPlanText(const char* text);

#endif
