#ifndef VASKREPORT_WRITERS_HTMLESCAPE_H
#define VASKREPORT_WRITERS_HTMLESCAPE_H

#include <string>

// text with & < > " written as entities, for caller-supplied text in a page.
std::string EscapeHtml(const char* text);

#endif
