#ifndef VASKREPORT_VERIFY_JSONWRITER_H
#define VASKREPORT_VERIFY_JSONWRITER_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The text as a JSON string literal, quotes included. Bytes that are not
// UTF-8 are read as Latin-1, so any input gives valid JSON.
std::string JsonQuote(const std::string& text);
// The shortest text that reads back as the same double; null when not finite.
std::string JsonNumber(double value);
// A weight with the digits the documents print (six significant, as the
// Manifest Report CSV has them); null when not finite.
std::string JsonWeight(double value);

// Writes one JSON document, indented by two spaces per level. The caller
// pairs every Begin with its End and gives a Key before each object member.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : m_Out(out) {}
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(const std::string& name);
  void String(const std::string& value) { Value(JsonQuote(value)); }
  void Number(uint64_t value) { Value(std::to_string(value)); }
  void Number(int value) { Value(std::to_string(value)); }
  void Number(double value) { Value(JsonNumber(value)); }
  void Weight(double value) { Value(JsonWeight(value)); }
  void Null() { Value("null"); }
  // Ends the document with a line feed.
  void Finish() { m_Out << "\n"; }

 private:
  void Separate();
  void Value(const std::string& text);
  void Open(char bracket);
  void Close(char bracket);

  std::ostream& m_Out;
  std::vector<bool> m_Empty;  // per open container: nothing written in it yet
  bool m_AfterKey = false;
};

#endif
