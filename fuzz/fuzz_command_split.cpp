// Splits arbitrary command lines, and checks that arguments quoted the way
// Windows programs expect come back from the split unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

// Quotes one argument after the program name so that the C runtime's rules
// give it back: backslashes doubled before a quote, quotes escaped.
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
  Split_Command_Line(text);
  Split_Quoted(text);
  if (Strip_Cmd_Quotes("\"" + text + "\"") != text && text.find('"') == std::string::npos)
    std::abort();

  // NUL bytes separate the arguments; the program's name cannot hold a quote.
  std::vector<std::string> args(1);
  for (char c : text) {
    if (c == '\0')
      args.emplace_back();
    else
      args.back() += (args.size() == 1 && c == '"') ? '_' : c;
  }
  std::string line = "\"" + args[0] + "\"";
  for (size_t i = 1; i < args.size(); i++) line += " " + Quote(args[i]);
  if (Split_Command_Line(line) != args) std::abort();
  return 0;
}
