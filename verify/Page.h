#ifndef VASKREPORT_VERIFY_PAGE_H
#define VASKREPORT_VERIFY_PAGE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "verify/CheckLog.h"

namespace verify {

// A piece of a line a document should hold: fixed text, or a named value and
// what it is checked against.
struct Piece {
  std::string Text;               // the fixed text, or the wanted value
  std::string Name;               // empty for fixed text
  const char* Against = nullptr;  // null: any value is right
  const char* Kind = nullptr;     // "figure", "setting", "text"
  int Width = 0;                  // a value right-aligned in this many characters
};
using PageLine = std::vector<Piece>;

// The lines a document should hold, built the way its writer writes them.
class Page {
 public:
  // Fixed text; each "\n" ends a line.
  Page& operator<<(const std::string& text);
  // A figure of the recount, right-aligned in width characters when not 0.
  Page& Figure(const std::string& name, const std::string& value, int width = 0);
  Page& Setting(const std::string& name, const std::string& value);
  // A text checked against another document, or with against null not at all.
  Page& Text(const std::string& name, const std::string& value, const char* against);
  const std::vector<PageLine>& Lines() const { return m_Lines; }

 private:
  Page& Add(Piece piece);

  std::vector<PageLine> m_Lines;
  PageLine m_Line;
};

// Values read from a document, by name.
using Found = std::map<std::string, std::string>;

// One check of the document at path against page: a DIFF for each value
// that differs and each line that fits no line of the page. found, when
// given, receives the values read. Returns false when the document is missing.
bool CheckPage(const std::string& name, const std::string& path, const Page& page, CheckLog& log,
               Found* found = nullptr);

// The found values that are counts.
Figures CountsOf(const Found& found);

// Numbers and texts as the documents print them, whatever the locale.
std::string Decimal(uint64_t value);
std::string Fixed(double value, int decimals);  // printf "%.<decimals>f"
std::string General(double value);              // printf "%g"
std::string Padded(const std::string& text, int width, bool left = false);
std::string Escaped(const std::string& text);  // & < > " as entities

}  // namespace verify

#endif
