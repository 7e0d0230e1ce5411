#include "text_position.h"

const char* LineEndStyleName(LineEndStyle style) {
  switch (style) {
  case LineEndStyle::Dos:
    return "DOS";
  case LineEndStyle::Unix:
    return "UNIX";
  case LineEndStyle::Mac:
    return "MAC";
  default:
    return "";
  }
}
