#include "source_message.h"

std::string SourceMessage::Describe() const {
  if (line <= 0) return file + ": " + text;
  return file + ", line " + std::to_string(line) + ": " + text;
}
