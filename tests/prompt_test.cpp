#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Fixtures.h"
#include "dialogue/Prompt.h"

namespace {

using vrtest::ConsoleCapture;

const std::string kInvalid = "Invalid reponse. Re-enter:\n";

TEST(Trim, RemovesOnlySurroundingSpaces) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"  a b  ", "a b"}, {"abc", "abc"}, {"   ", ""},       {"", ""},
      {"\ta\t", "\ta\t"}, {" x", "x"},    {"x ", "x"},      {" \t ", "\t"},
  };
  for (const Case& c : cases) {
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%s", c.in);
    EXPECT_STREQ(c.out, Trim(buffer)) << "input '" << c.in << "'";
    EXPECT_STREQ(c.out, buffer);
  }
}

TEST(PromptString, ShowsDefaultInBracketsAndKeepsItOnBlankReply) {
  char text[51] = "ACME";
  ConsoleCapture console("   \n");
  PromptString("Customer Name", text, 50);
  EXPECT_EQ("Customer Name [ACME] :", console.Errors());
  EXPECT_STREQ("ACME", text);
}

TEST(PromptString, EmptyTextShowsNoBrackets) {
  char text[51] = "";
  ConsoleCapture console("  Harbour Co  \n");
  PromptString("Customer Name", text, 50);
  EXPECT_EQ("Customer Name :", console.Errors());
  EXPECT_STREQ("Harbour Co", text);
}

TEST(PromptString, RefusesTooLongReplyAndAcceptsExactLength) {
  char text[11] = "old";
  ConsoleCapture console("12345678901\n1234567890\n");
  PromptString("Job", text, 10);
  EXPECT_EQ("Job [old] :String entered is too long. Maximum length is 10\nRe-enter: Job [old] :",
            console.Errors());
  EXPECT_STREQ("1234567890", text);
}

TEST(PromptString, WritesNothingToStandardOutput) {
  char text[11] = "";
  ConsoleCapture console("x\n");
  PromptString("Q", text, 10);
  EXPECT_EQ("", console.Output());
}

struct IntCase {
  const char* name;
  std::string replies;
  int start, lowest, highest;
  int expected;
  std::string errors;
};

TEST(PromptInt, AcceptsOnlyWholeNumbersInRangeAndNeverStoresARefusal) {
  const IntCase cases[] = {
      {"default shown", "\n", 44, 0, 255, 44, "Q [44]:"},
      {"plain", "59\n", 44, 0, 255, 59, "Q [44]:"},
      {"plus sign", "+12\n", 44, 0, 255, 12, "Q [44]:"},
      {"spaces trimmed", "  9  \n", 44, 0, 255, 9, "Q [44]:"},
      {"above range then blank", "300\n\n", 44, 0, 255, 44, "Q [44]:" + kInvalid + "Q [44]:"},
      {"trailing letters", "12abc\n7\n", 44, 0, 255, 7, "Q [44]:" + kInvalid + "Q [44]:"},
      {"sign alone", "-\n\n", 3, 1, 9, 3, "Q [3]:" + kInvalid + "Q [3]:"},
      {"below lowest", "-5\n2\n", 0, 1, 2147483647, 2, "Q [0]:" + kInvalid + "Q [0]:"},
      {"overflow", "99999999999\n\n", 5, 1, 2147483647, 5, "Q [5]:" + kInvalid + "Q [5]:"},
      {"highest inclusive", "2147483647\n", 5, 1, 2147483647, 2147483647, "Q [5]:"},
      {"zero refused from 1", "0\n8\n", 300, 1, 2147483647, 8, "Q [300]:" + kInvalid + "Q [300]:"},
  };
  for (const IntCase& c : cases) {
    int value = c.start;
    ConsoleCapture console(c.replies);
    PromptInt("Q", &value, c.lowest, c.highest);
    EXPECT_EQ(c.errors, console.Errors()) << c.name;
    EXPECT_EQ(c.expected, value) << c.name;
  }
}

TEST(PromptDouble, ShowsShortestFormAndRefusesPartialNumbers) {
  struct Case {
    const char* name;
    std::string replies;
    double start, expected;
    std::string errors;
  } cases[] = {
      {"integral", "\n", 25, 25, "W [25]:"},
      {"fraction", "\n", 0.5, 0.5, "W [0.5]:"},
      {"decimal comma", "20,5\n20.5\n", 25, 20.5, "W [25]:" + kInvalid + "W [25]:"},
      {"exponent", "2.5e1\n", 0, 25, "W [0]:"},
      {"infinity", "inf\n\n", 12, 12, "W [12]:" + kInvalid + "W [12]:"},
      {"not a number", "nan\n\n", 12, 12, "W [12]:" + kInvalid + "W [12]:"},
      {"large", "\n", 1234567, 1234567, "W [1.23457e+06]:"},
  };
  for (const auto& c : cases) {
    double value = c.start;
    ConsoleCapture console(c.replies);
    PromptDouble("W", &value);
    EXPECT_EQ(c.errors, console.Errors()) << c.name;
    EXPECT_EQ(c.expected, value) << c.name;
  }
}

TEST(PromptYesNo, FirstCharacterDecides) {
  struct Case {
    std::string replies;
    bool start, expected;
    std::string errors;
  } cases[] = {
      {"yes\n", false, true, "Go(Y/N)? [N]:"},
      {"Yellow\n", false, true, "Go(Y/N)? [N]:"},
      {"no\n", true, false, "Go(Y/N)? [Y]:"},
      {"\n", true, true, "Go(Y/N)? [Y]:"},
      {"x\nn\n", true, false, "Go(Y/N)? [Y]:" + kInvalid + "Go(Y/N)? [Y]:"},
      {"  y\n", false, true, "Go(Y/N)? [N]:"},
  };
  for (const auto& c : cases) {
    bool value = c.start;
    ConsoleCapture console(c.replies);
    PromptYesNo("Go", &value);
    EXPECT_EQ(c.errors, console.Errors()) << c.replies;
    EXPECT_EQ(c.expected, value) << c.replies;
  }
}

TEST(PromptState, LooksUpCodesWithoutCaseAndKeepsStateOnUnknownName) {
  struct Case {
    std::string replies;
    int start, expected;
    std::string errors;
  } cases[] = {
      {"\n", 1, 1, "State [NSW]:"},
      {"vic\n", 1, 2, "State [NSW]:"},
      {"Victoria\n\n", 1, 1, "State [NSW]:" + kInvalid + "State [NSW]:"},
      {"Victoria\nact\n", -1, 7, "State:" + kInvalid + "State:"},
      {"\n", -1, -1, "State:"},
  };
  for (const auto& c : cases) {
    int state = c.start;
    ConsoleCapture console(c.replies);
    PromptState("State", &state);
    EXPECT_EQ(c.errors, console.Errors()) << c.replies;
    EXPECT_EQ(c.expected, state) << c.replies;
  }
}

TEST(Prompts, AtEndOfInputEveryQuestionIsAskedOnceAndKeepsItsValue) {
  char text[11] = "keep";
  int number = 44, state = 3;
  double weight = 0.5;
  bool flag = true;
  ConsoleCapture console("");
  PromptString("S", text, 10);
  PromptInt("I", &number, 0, 255);
  PromptDouble("D", &weight);
  PromptYesNo("Y", &flag);
  PromptState("T", &state);
  EXPECT_EQ("S [keep] :I [44]:D [0.5]:Y(Y/N)? [Y]:T [QLD]:", console.Errors());
  EXPECT_STREQ("keep", text);
  EXPECT_EQ(44, number);
  EXPECT_EQ(0.5, weight);
  EXPECT_TRUE(flag);
  EXPECT_EQ(3, state);
}

TEST(Prompts, LastLineWithoutLineEndIsStillAReply) {
  int number = 1;
  ConsoleCapture console("42");
  PromptInt("I", &number, 0, 100);
  console.Errors();
  EXPECT_EQ(42, number);
}

TEST(Prompts, OverlongLineIsCutAndLaterRepliesAreStillRead) {
  char text[256] = "";
  int number = 0;
  bool flag = false;
  std::string longLine(300, 'a');
  longLine.replace(250, 10, "0123456789");
  ConsoleCapture console(longLine + "\n12\ny\n");
  PromptString("S", text, 255);
  PromptInt("I", &number, 0, 100);
  PromptYesNo("Y", &flag);
  console.Errors();
  EXPECT_EQ(longLine.substr(0, 255), std::string(text));
  EXPECT_EQ(12, number);
  EXPECT_TRUE(flag);
}

TEST(Prompts, LineOfExactly255CharactersIsWhole) {
  char text[256] = "";
  int number = 0;
  std::string line(255, 'b');
  ConsoleCapture console(line + "\n7\n");
  PromptString("S", text, 255);
  PromptInt("I", &number, 0, 100);
  console.Errors();
  EXPECT_EQ(line, std::string(text));
  EXPECT_EQ(7, number);
}

TEST(Prompts, OverlongReplyToShortTextIsRefusedThenNextLineAccepted) {
  char text[11] = "old";
  ConsoleCapture console(std::string(400, 'z') + "\nnew\n");
  PromptString("S", text, 10);
  EXPECT_EQ("S [old] :String entered is too long. Maximum length is 10\nRe-enter: S [old] :",
            console.Errors());
  EXPECT_STREQ("new", text);
}

}  // namespace
