#include "text_position.h"

const char* LineEndStyleName(LineEndStyle style) {
  switch (style) {
  case LineEndStyle::Dos:
    return "CRLF";
  case LineEndStyle::Unix:
    return "LFCR";
  case LineEndStyle::Mac:
    return "LF";
  default:
    return "";
  }
}
