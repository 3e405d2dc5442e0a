#include "verify/JsonWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace {

// Length of the UTF-8 sequence at text[i], or 0 when it is not one.
size_t Utf8Length(const std::string& text, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  size_t length;
  unsigned char low = 0x80, high = 0xbf;  // range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;  // no surrogates
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xbf)) return 0;
  }
  return length;
}

void AppendEscape(std::string& out, unsigned char c) {
  static const char kShort[][3] = {"\\b", "\\t", "\\n", "", "\\f", "\\r"};
  if (c >= '\b' && c <= '\r' && c != 0x0b) {
    out += kShort[c - '\b'];
    return;
  }
  char code[8];
  std::snprintf(code, sizeof code, "\\u%04x", c);
  out += code;
}

}  // namespace

std::string JsonQuote(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = Utf8Length(text, i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || length == 0) {
      AppendEscape(out, c);
      length = 1;
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string JsonWeight(double value) {
  if (!std::isfinite(value)) return "null";
  std::ostringstream text;  // the stream's default format, as the documents use
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

void JsonWriter::Separate() {
  if (m_AfterKey) {
    m_AfterKey = false;
    return;
  }
  if (m_Empty.empty()) return;
  if (!m_Empty.back()) m_Out << ",";
  m_Empty.back() = false;
  m_Out << "\n" << std::string(2 * m_Empty.size(), ' ');
}

void JsonWriter::Key(const std::string& name) {
  Separate();
  m_Out << JsonQuote(name) << ": ";
  m_AfterKey = true;
}

void JsonWriter::Value(const std::string& text) {
  Separate();
  m_Out << text;
}

void JsonWriter::Open(char bracket) {
  Separate();
  m_Out << bracket;
  m_Empty.push_back(true);
}

void JsonWriter::Close(char bracket) {
  const bool empty = m_Empty.back();
  m_Empty.pop_back();
  if (!empty) m_Out << "\n" << std::string(2 * m_Empty.size(), ' ');
  m_Out << bracket;
}
