#include "writers/HtmlEscape.h"

namespace {

struct Entity {
  char Character;
  const char* Text;
};

const Entity s_Entities[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};

const char* EntityFor(char c) {
  for (const Entity& e : s_Entities)
    if (e.Character == c) return e.Text;
  return nullptr;
}

}  // namespace

std::string EscapeHtml(const char* text) {
  std::string escaped;
  for (const char* p = text ? text : ""; *p; ++p) {
    if (const char* entity = EntityFor(*p))
      escaped += entity;
    else
      escaped += *p;
  }
  return escaped;
}
