// The platform layer's pure helpers: argument splitting, UTF-8, whole keys, separators, names for other programs, visible controls, archive folders and the input code page.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/console_internal.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/text_internal.h"

using Args = std::vector<std::string>;

// The compile options are split as a Windows program splits its command line.
TEST(SplitArguments, QuotedRunsAreOneArgumentAndLoseTheirQuotes) {
  EXPECT_EQ(Split_Arguments("-O2 -Wall -DNAME=\"a b\" \"\" -I\"C:\\My Dir\""),
            (Args{"-O2", "-Wall", "-DNAME=a b", "", "-IC:\\My Dir"}));
  EXPECT_EQ(Split_Arguments("  -g   -O2\t-s  "), (Args{"-g", "-O2", "-s"}));
  EXPECT_EQ(Split_Arguments(""), Args{});
  EXPECT_EQ(Split_Arguments(" \t "), Args{});
}

TEST(SplitArguments, BackslashesEscapeOnlyBeforeAQuote) {
  EXPECT_EQ(Split_Arguments("a\\\\b \\\"x\\\" \"c\\\\\" d\\\\\\\"e"),
            (Args{"a\\\\b", "\"x\"", "c\\", "d\\\"e"}));
  EXPECT_EQ(Split_Arguments("\"in \"\"quotes\"\"\""), (Args{"in \"quotes\""}));
  EXPECT_EQ(Split_Arguments("-D'$HOME' `id`;"), (Args{"-D'$HOME'", "`id`;"}));
}

TEST(PathText, WellFormedUtf8WithoutNulAtEveryBoundary) {
  const std::pair<std::string, bool> rows[] = {
      {"", true},
      {"C:\\程序\\a b.cpp", true},
      {std::string("a\0b", 3), false},
      {"\x7F", true},
      {"\x80", false},                              // a continuation byte alone
      {"\xC0\xAF", false},                          // overlong
      {"\xC1\xBF", false},                          // overlong, the last such lead
      {"\xC2\x80", true},                           // U+0080, the first of two bytes
      {"\xDF\xBF", true},                           // U+07FF
      {"\xE0\x9F\xBF", false},                      // overlong
      {"\xE0\xA0\x80", true},                       // U+0800
      {"\xED\x9F\xBF", true},                       // U+D7FF
      {"\xED\xA0\x80", false},                      // a surrogate
      {"\xED\xBF\xBF", false},                      // the last surrogate
      {"\xEE\x80\x80", true},                       // U+E000
      {"\xF0\x8F\xBF\xBF", false},                  // overlong
      {"\xF0\x90\x80\x80", true},                   // U+10000
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},                   // U+10FFFF
      {"\xF4\x90\x80\x80", false},                  // past U+10FFFF
      {"\xF5\x80\x80\x80", false},
      {"\xE7\xA8", false},                          // cut short
      {"\xE7" "a" "\xA8", false}};
  for (const auto& [text, ok] : rows) EXPECT_EQ(Is_Path_Text(text), ok) << text;
}

TEST(KeyIsComplete, EscapeSequencesAndCharactersAreWholeKeys) {
  struct {
    const char* bytes;
    bool complete;
  } rows[] = {{"", false},          {"x", true},           {"\x1b", false},
              {"\x1b[", false},     {"\x1b[B", true},      {"\x1b[1;5", false},
              {"\x1b[1;5C", true},  {"\x1b[15~", true},    {"\x1bO", false},
              {"\x1bOP", true},     {"\x1bx", true},       {"\xE6\xB5", false},
              {"\xE6\xB5\x8B", true}, {"\xF0\x9F\x98", false}, {"\x80", true},
              {"\x1b\xE6\xB5", false}, {"\x1b\xE6\xB5\x8B", true}, {"\x1b\x1b[A", true}};
  for (const auto& r : rows) EXPECT_EQ(Key_Is_Complete(r.bytes), r.complete) << r.bytes;
}

TEST(CompleteUtf8Prefix, HoldsBackOnlyACharacterStillToBeCompleted) {
  EXPECT_EQ(Complete_Utf8_Prefix(""), 0u);
  EXPECT_EQ(Complete_Utf8_Prefix("ab"), 2u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8"), 1u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8\xAE"), 1u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\xE8\xAE\xBE"), 4u);
  EXPECT_EQ(Complete_Utf8_Prefix("\xF0\x9F\x98"), 0u);
  EXPECT_EQ(Complete_Utf8_Prefix("a\x80\x80"), 3u);  // stray bytes are not held for ever
}

TEST(TrailingSeparators, AreDroppedButARootStays) {
  EXPECT_EQ(Without_Trailing_Separators("a.cpp/", "/"), "a.cpp");
  EXPECT_EQ(Without_Trailing_Separators("dir//", "/"), "dir");
  EXPECT_EQ(Without_Trailing_Separators("/", "/"), "/");
  EXPECT_EQ(Without_Trailing_Separators("///", "/"), "/");
  EXPECT_EQ(Without_Trailing_Separators("C:\\src\\", "\\/"), "C:\\src");
  EXPECT_EQ(Without_Trailing_Separators("C:\\", "\\/"), "C:\\");
  EXPECT_EQ(Without_Trailing_Separators("a\\", "/"), "a\\");
}

TEST(TrailingSeparators, DirectoryOfKeepsARootWhole) {
  // A path, and its directory on POSIX and on Windows (where "\\" parts too).
  const struct {
    const char *path, *posix, *windows;
  } rows[] = {{"/a", "/", "/"},       {"a/b.cpp", "a", "a"},       {"b.cpp", "", ""},
              {"C:/a", "C:/", "C:/"}, {"C:\\a", "", "C:\\"},     {"C:\\a\\b.cpp", "", "C:\\a"}};
  for (const auto& r : rows)
    EXPECT_EQ(Directory_Of(r.path), PATH_SEPARATOR == '/' ? r.posix : r.windows) << r.path;
}

TEST(Manifest, OnlyAnActiveCodePageOfUtf8MakesAUtf8Program) {
  const std::pair<std::string, bool> rows[] = {
      {"<ws:activeCodePage>UTF-8</ws:activeCodePage>", true},
      {"<activeCodePage xmlns=\"x\">\n utf-8 </activeCodePage>", true},
      {"<activeCodePage>Legacy</activeCodePage>", false},
      {"<activeCodePage/><x>UTF-8</x>", false},
      {"<longPathAware>true</longPathAware>", false},
      {"<activeCodePage>UTF-8", false}};
  for (const auto& [text, utf8] : rows) EXPECT_EQ(Manifest_Says_Utf8(text), utf8) << text;
}

TEST(TrailingBlanksAndDots, GoFromTheLastComponentAsWindowsOpensIt) {
  const std::pair<std::string, std::string> rows[] = {
      {"t.cpp ", "t.cpp"}, {"C:\\a b\\t.cpp. . ", "C:\\a b\\t.cpp"}, {"dir .", "dir"},
      {"dir \\", "dir \\"}, {"C:\\x\\..", "C:\\x\\.."}, {".", "."}, {"a. \\b", "a. \\b"}};
  for (const auto& [typed, opened] : rows) EXPECT_EQ(Without_Trailing_Blanks_And_Dots(typed), opened);
}

TEST(NamesForOtherPrograms, AreNeitherFormatsNorOptions) {
  EXPECT_EQ(Tmux_Literal("#(touch x) #{pane_id} ##"), "##(touch x) ##{pane_id} ####");
  const std::string dot = std::string(".") + PATH_SEPARATOR;
  EXPECT_EQ(Path_Argument("+!touch x.cpp", "-+"), dot + "+!touch x.cpp");
  EXPECT_EQ(Path_Argument("-x.cpp", "-+"), dot + "-x.cpp");
  EXPECT_EQ(Path_Argument("a-+.cpp", "-+"), "a-+.cpp");
  EXPECT_EQ(Path_Argument("/tmp/-x.cpp", "-+"), "/tmp/-x.cpp");
  EXPECT_EQ(Path_Argument("", "-+"), "");
}

// Every control a name may hold, and what stays as it is.
TEST(Visible, ControlsAreShownAndTextIsNot) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {std::string("a\0b", 3), "a^@b"},
      {"\x01\x07\x08\t\n\r", "^A^G^H^I^J^M"},
      {"e\x1b]2;HACKED\a\x1b[2J", "e^[]2;HACKED^G^[[2J"},
      {"\x1f\x7f", "^_^?"},
      {"\xc2\x80\xc2\x9b[31m\xc2\x9f", "\\302\\200\\302\\233[31m\\302\\237"},
      {"\x9b\xff\xe4\xbd", "\\233\\377\\344\\275"},
      {"\xc2\xa0中文 程序（一）.cpp ~!@#$%^&*\"'\\", "\xc2\xa0中文 程序（一）.cpp ~!@#$%^&*\"'\\"},
      {"", ""}};
  for (const auto& [raw, shown] : rows) EXPECT_EQ(Visible(raw), shown) << raw;
  for (int c = 0; c < 0x20; c++) EXPECT_EQ(Visible(std::string(1, static_cast<char>(c))).size(), 2u);
}

// xterm's identification, sent when it reads a byte 0x9A, is no answer.
TEST(TerminalReplies, AreDroppedAndKeysAndTextAreNot) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"\x1b[?64;1;2;6;9;15;16;17;18;21;22;28chello.cpp", "hello.cpp"},
      {"a\x1b[>0;276;0cb\x1b[?1;2c", "ab"},
      {"\x1b[A\x1b[1;5C\x1bOP\x1b[", "\x1b[A\x1b[1;5C\x1bOP\x1b["},
      {"\x1b[?1;2", "\x1b[?1;2"},
      {"\x1b[?1\xe4\xb8\xad" "c", "\x1b[?1\xe4\xb8\xad" "c"}};
  for (const auto& [typed, answer] : rows)
    EXPECT_EQ(Without_Terminal_Replies(typed), answer) << Visible(typed);
  for (const char* begun : {"\x1b", "\x1b[", "\x1b[>", "\x1b[?64;1"})
    EXPECT_GT(Terminal_Reply_End(begun, 0), std::string(begun).size()) << Visible(begun);
}

TEST(ArchivePreview, FoldersWhereFileManagersRunAProgramFromAnArchive) {
  const std::pair<const char*, bool> rows[] = {
      {"C:\\Users\\me\\AppData\\Local\\Temp\\Temp1_tivex-0.1.0-win64.zip\\tivex-0.1.0-win64", true},
      {"C:\\Users\\me\\AppData\\Local\\Temp\\TEMP2_TIVEX.ZIP", true},
      {"C:\\Users\\me\\AppData\\Local\\Temp\\7zO4A1B2C3D\\tivex", true},
      {"C:\\Users\\me\\AppData\\Local\\Temp\\Rar$EXa1234.5678\\tivex", true},
      {"/tmp/Temp1_x.zip/tivex", true},
      {"C:\\Users\\me\\AppData\\Local\\Temp", false},
      {"C:\\Users\\me\\Downloads\\tivex-0.1.0-win64", false},
      {"C:\\tools\\tivex.zip.d", false},
      {"D:\\Templates\\tivex", false},
      {"", false}};
  for (const auto& [dir, preview] : rows) EXPECT_EQ(Is_Archive_Preview(dir), preview) << dir;
}

// What Windows 10's console gives a C runtime for a Chinese key at 65001 is
// NUL bytes: then the program reads in the OEM code page instead.
// A line with no end in sight: what is kept stays bounded, the rest is read
// to its LF and dropped, and what follows the LF is given back.
TEST(ReadLineThrough, AnEndlessLineKeepsAtMost64KiBAndIsReadToItsEnd) {
  for (bool seekable : {true, false}) {
    long left = 100L << 20;  // 100 MB of 'x', then "\nnext"
    long given_back = -1;
    auto read = [&](char* buf, size_t size) -> long {
      if (left < 0) return 0;
      long n = std::min<long>(static_cast<long>(size), left + 5);
      for (long i = 0; i < n; i++, left--) buf[i] = left > 0 ? 'x' : "\nnext"[-left];
      return n;
    };
    std::string line;
    if (!seekable) left = 1 << 20;  // a pipe is read byte by byte: 1 MB of it
    ASSERT_TRUE(Read_Line_Through(line, seekable, read, [&](long rest) { given_back = rest; }));
    EXPECT_EQ(line, std::string(LONGEST_LINE + 2, 'x'));
    EXPECT_EQ(given_back, seekable ? 4 : -1);
  }
}

TEST(ConsoleProbe, OnlyAProbeThatCameBackAsUtf8CountsAsUtf8) {
  const std::pair<std::string, bool> rows[] = {{"\xE5\xBC\xA0\r\n", true},
                                               {"\xE5\xBC\xA0", true},
                                               {std::string("\0\r\n", 3), false},
                                               {"\xD5\xC5\r\n", false},
                                               {"?\r\n", false},
                                               {"\xE5\xBC", false},
                                               {"", false}};
  for (const auto& [probe, utf8] : rows) EXPECT_EQ(Probe_Reads_Utf8(probe), utf8) << probe;
}
