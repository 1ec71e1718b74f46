// Splits arbitrary option lines, and checks that arguments quoted the way
// Windows programs expect come back from the split unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

// Quotes one argument so that the C runtime's rules give it back: backslashes
// doubled before a quote, quotes escaped.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      slashes++;
    } else if (c == '"') {
      out.append(slashes * 2 + 1, '\\');
      slashes = 0;
    } else {
      out.append(slashes, '\\');
      slashes = 0;
    }
    if (c != '\\') out += c;
  }
  out.append(slashes * 2, '\\');
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Split_Arguments(text);

  // NUL bytes separate the arguments.
  std::vector<std::string> args(1);
  for (char c : text) {
    if (c == '\0')
      args.emplace_back();
    else
      args.back() += c;
  }
  std::string line;
  for (const std::string& arg : args) line += " " + Quote(arg);
  if (Split_Arguments(line) != args) std::abort();
  return 0;
}
