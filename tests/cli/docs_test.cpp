// The reference in docs/ stays true: every example in it runs and prints what the
// text says, every script function the program registers has an entry, the man page
// names every option and function of the reference, and every message the program
// can write is explained.
//
// Examples are fenced blocks. A ```lua block is run as `redevuvo /c <code>` in a fresh
// directory; the blocks right after it (only blank lines between) say what it does:
// ```text input (standard input, default "x" and a line end), ```text output (the
// processed text on standard output) and ```text (what the script prints). A ```sh
// block is run by bash in a fresh directory with the program on PATH, and the ```text
// block after it is what the commands write to standard output. The word noeol after
// the block kind drops the block's final line end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "tests/support/process_runner.h"

namespace {

namespace fs = std::filesystem;

const std::string DocsDir = std::string(REDEVUVO_SOURCE_DIR) + "/docs";

std::string ReadText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Words(const std::string &text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

bool Has(const std::vector<std::string> &words, const std::string &word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

struct TBlock {
  std::string File;
  int Line = 0;
  std::vector<std::string> Info; // the words after the opening fence
  std::string Content;
  bool FollowsPrevious = false; // only blank lines since the previous block ended
};

std::vector<std::string> MarkdownFiles() {
  std::vector<std::string> files;
  for (const auto &entry : fs::directory_iterator(DocsDir))
    if (entry.path().extension() == ".md")
      files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<TBlock> FencedBlocks(const std::string &file) {
  std::vector<TBlock> blocks;
  std::istringstream in(ReadText(file));
  std::string line;
  int number = 0;
  bool inside = false, onlyBlankSince = false;
  TBlock block;
  while (std::getline(in, line)) {
    ++number;
    if (!inside && line.rfind("```", 0) == 0) {
      block = TBlock{fs::path(file).filename().string(), number, Words(line.substr(3)), "",
                     onlyBlankSince && !blocks.empty()};
      inside = true;
    } else if (inside && line == "```") {
      blocks.push_back(block);
      inside = false;
      onlyBlankSince = true;
    } else if (inside) {
      block.Content += line + "\n";
    } else if (line.find_first_not_of(" \t") != std::string::npos) {
      onlyBlankSince = false;
    }
  }
  EXPECT_FALSE(inside) << file << ": a fenced block is not closed";
  return blocks;
}

std::string Body(const TBlock &block) {
  std::string text = block.Content;
  if (Has(block.Info, "noeol") && !text.empty() && text.back() == '\n')
    text.pop_back();
  return text;
}

struct TExample {
  TBlock Code;
  std::optional<std::string> Input, Output, Printed;
};

std::vector<TExample> Examples() {
  std::vector<TExample> examples;
  for (const std::string &file : MarkdownFiles()) {
    std::vector<TBlock> blocks = FencedBlocks(file);
    for (size_t i = 0; i < blocks.size(); ++i) {
      const std::string kind = blocks[i].Info.empty() ? "" : blocks[i].Info[0];
      if (kind != "lua" && kind != "sh")
        continue;
      TExample example{blocks[i], {}, {}, {}};
      for (size_t j = i + 1; j < blocks.size() && blocks[j].FollowsPrevious &&
                             !blocks[j].Info.empty() && blocks[j].Info[0] == "text";
           ++j, ++i) {
        const std::vector<std::string> &info = blocks[j].Info;
        if (Has(info, "input"))
          example.Input = Body(blocks[j]);
        else if (Has(info, "output"))
          example.Output = Body(blocks[j]);
        else
          example.Printed = Body(blocks[j]);
      }
      examples.push_back(example);
    }
  }
  return examples;
}

// Runs the program itself, never under valgrind: these runs check the text of the
// reference, the memory checks have their own tests.
TProcessResult RunLuaExample(const TExample &example, const std::string &directory) {
  TProcessOptions options = WithStdin(example.Input.value_or("x\n"), directory);
  return RunProcess({REDEVUVO_BINARY, "/c", example.Code.Content}, options);
}

// What the script printed: standard error after the progress line, which ends the
// program's own lines.
std::string PrintedText(const TProcessResult &result) {
  std::vector<std::string> lines = result.StderrLines();
  auto progress = std::find(lines.begin(), lines.end(), "Bearbeite Daten von STDIN");
  std::string text;
  if (progress != lines.end())
    for (auto line = progress + 1; line != lines.end(); ++line)
      text += *line + "\n";
  return text;
}

std::string BinaryDirectory() {
  return fs::path(REDEVUVO_BINARY).parent_path().string();
}

TEST(Docs, EveryExamplePrintsWhatTheReferenceSays) {
  std::vector<TExample> examples = Examples();
  ASSERT_GT(examples.size(), 50u) << "the examples were not found in " << DocsDir;
  for (const TExample &example : examples) {
    const std::string where = example.Code.File + ":" + std::to_string(example.Code.Line);
    SCOPED_TRACE(where);
    TTempDir directory;
    if (example.Code.Info[0] == "sh") {
      ASSERT_TRUE(example.Printed) << where << ": a shell example without its output";
      TProcessOptions options;
      options.WorkingDirectory = directory.Path();
      const char *path = std::getenv("PATH");
      options.Environment["PATH"] = BinaryDirectory() + ":" + (path ? path : "/usr/bin:/bin");
      TProcessResult r = RunProcess({"/bin/bash", "-c", example.Code.Content}, options);
      EXPECT_EQ(r.Stdout, *example.Printed) << where << "\n" << r.Stderr;
      continue;
    }
    ASSERT_TRUE(example.Output || example.Printed) << where << ": an example without its result";
    TProcessResult r = RunLuaExample(example, directory.Path());
    EXPECT_EQ(r.ExitCode, 0) << where << "\n" << r.Stderr;
    if (example.Output) {
      EXPECT_EQ(r.Stdout, *example.Output) << where;
    }
    if (example.Printed) {
      EXPECT_EQ(PrintedText(r), *example.Printed) << where << "\n" << r.Stderr;
    }
  }
}

// Lists the functions of the extended tables, one qualified name a line; the zip
// tables' metatables are read past their __metatable guard.
const char *const ListFunctions = R"(
local function walk(prefix, t, sep)
  if type(t) ~= 'table' then return end
  local names = {}
  for k, v in pairs(t) do
    if type(k) == 'string' and type(v) == 'function' and k:sub(1, 2) ~= '__' then
      names[#names + 1] = prefix .. sep .. k
    end
  end
  table.sort(names)
  for _, n in ipairs(names) do print(n) end
end
walk('PWL', PWL, '.')
walk('string', string, '.')
walk('os', os, '.')
walk('os.path', os.path, '.')
walk('math', math, '.')
walk('table', table, '.')
if zip then
  walk('zip', debug.getmetatable(zip), '.')
  walk('z', debug.getmetatable(zip.create()), ':')
end
)";

std::set<std::string> Lines(const std::string &text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line.find(' ') == std::string::npos)
      lines.insert(line);
  return lines;
}

// The full path of a program on PATH; empty when it is not installed.
std::string FindProgram(const std::string &name) {
  TProcessResult r = RunProcess({"/bin/sh", "-c", "command -v " + name});
  std::string path = r.ExitCode == 0 ? r.Stdout : "";
  while (!path.empty() && (path.back() == '\n' || path.back() == ' '))
    path.pop_back();
  return path;
}

// The names of the functions the program adds to the stock runtime's tables.
std::set<std::string> AddedFunctions(const std::string &stockInterpreter) {
  TProcessResult stock = RunProcess({stockInterpreter, "-e", ListFunctions});
  TProcessResult ours = RunProcess({REDEVUVO_BINARY, "/c", ListFunctions}, WithStdin("x\n"));
  if (stock.ExitCode != 0 || ours.ExitCode != 0 || stock.Stdout.empty()) {
    ADD_FAILURE() << "cannot list the functions:\n" << stock.Stderr << ours.Stderr;
    return {};
  }
  std::set<std::string> stockNames = Lines(stock.Stdout);
  std::set<std::string> added;
  for (const std::string &name : Lines(PrintedText(ours)))
    if (!stockNames.count(name))
      added.insert(name);
  return added;
}

// Every heading of the reference, one text.
std::string Headings() {
  std::string headings;
  for (const std::string &file : MarkdownFiles()) {
    std::istringstream in(ReadText(file));
    for (std::string line; std::getline(in, line);)
      if (line.rfind("#", 0) == 0)
        headings += line + "\n";
  }
  return headings;
}

// `name` stands in the text as a whole name: not as part of a longer one.
bool NamesWhole(const std::string &text, const std::string &name) {
  auto isNamePart = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    bool before = at > 0 && (isNamePart(text[at - 1]) || text[at - 1] == '.');
    size_t end = at + name.size();
    bool after = end < text.size() && isNamePart(text[end]);
    if (!before && !after)
      return true;
  }
  return false;
}

TEST(Docs, EveryRegisteredFunctionHasAnEntry) {
  std::string stockInterpreter = FindProgram("lua5.3");
  if (stockInterpreter.empty())
    GTEST_SKIP() << "lua5.3 is not installed (tools/bootstrap installs it)";
  std::set<std::string> added = AddedFunctions(stockInterpreter);
  // The 14 PWL functions, the 24 string, 36 os.path, 3 os, 2 math, 2 table functions,
  // zip.create and the 14 methods of a zip object.
  EXPECT_GT(added.size(), 90u);
  std::string headings = Headings();
  for (const std::string &name : added)
    EXPECT_TRUE(NamesWhole(headings, name)) << name << " has no heading in docs/";
}

// The qualified function names the reference's headings introduce.
std::set<std::string> ReferencedFunctions() {
  static const std::regex name(R"((PWL|string|os\.path|os|math|table|zip)\.[A-Za-z_]+|z:[a-z]+)");
  std::set<std::string> names;
  std::string headings = Headings();
  for (std::sregex_iterator it(headings.begin(), headings.end(), name), end; it != end; ++it)
    names.insert(it->str());
  return names;
}

TEST(Docs, ManPageNamesEveryOptionAndFunction) {
  // Font changes (\fB, \fR, ...) stand between words like blanks.
  std::string man =
      std::regex_replace(ReadText(DocsDir + "/redevuvo.1"), std::regex(R"(\\f[BIRP])"), " ");
  ASSERT_FALSE(man.empty());
  std::set<std::string> names = ReferencedFunctions();
  EXPECT_GT(names.size(), 90u);
  for (const std::string &name : names)
    EXPECT_TRUE(NamesWhole(man, name)) << name << " is missing from docs/redevuvo.1";
  for (const char *option : {"/c", "/i", "/o", "/s", "/p", "/b", "/n", "/x", "/?"})
    EXPECT_NE(man.find(option), std::string::npos) << option << " is missing from the man page";
}

TEST(Docs, ManPageRendersWithoutWarnings) {
  std::string groff = FindProgram("groff");
  if (groff.empty())
    GTEST_SKIP() << "groff is not installed (tools/bootstrap installs it)";
  TProcessResult r = RunProcess({groff, "-man", "-ww", "-z", DocsDir + "/redevuvo.1"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Stdout + r.Stderr, "");
}

// The anchor a Markdown renderer gives a heading: lower case, punctuation dropped,
// blanks turned into hyphens.
std::string Anchor(const std::string &heading) {
  std::string anchor;
  for (unsigned char c : heading.substr(heading.find_first_not_of('#'))) {
    if (std::isalnum(c) || c == '-' || c == '_' || c >= 0x80)
      anchor += char(std::tolower(c));
    else if (c == ' ')
      anchor += '-';
  }
  size_t start = anchor.find_first_not_of('-');
  return start == std::string::npos ? "" : anchor.substr(start);
}

TEST(Docs, EveryLinkLeadsToAPageAndHeading) {
  std::map<std::string, std::set<std::string>> anchors;
  for (const std::string &file : MarkdownFiles()) {
    std::istringstream in(ReadText(file));
    for (std::string line; std::getline(in, line);)
      if (line.rfind("#", 0) == 0)
        anchors[fs::path(file).filename().string()].insert(Anchor(line));
  }
  static const std::regex link(R"re(\]\(([^)\s#]*)(?:#([^)\s]*))?\))re");
  for (const std::string &file : MarkdownFiles()) {
    std::string text = ReadText(file);
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      std::string page = (*it)[1], anchor = (*it)[2];
      if (page.find("://") != std::string::npos)
        continue;
      std::string target = page.empty() ? fs::path(file).filename().string() : page;
      EXPECT_TRUE(fs::exists(DocsDir + "/" + target)) << file << ": " << it->str();
      if (!anchor.empty()) {
        EXPECT_TRUE(anchors[target].count(anchor)) << file << ": " << it->str();
      }
    }
  }
}

// Every message text of the front end: the u"..." literals that begin one, with the
// literals that continue it on the next lines.
std::vector<std::string> ProgramMessages() {
  static const std::regex literal(R"re(u"((?:Fehler|Bearbeite)[^"]*)"((?:\s*u"[^"]*")*))re");
  static const std::regex continuation(R"re(u"([^"]*)")re");
  std::vector<std::string> messages;
  for (const auto &entry : fs::directory_iterator(std::string(REDEVUVO_SOURCE_DIR) + "/app")) {
    if (entry.path().extension() != ".cpp")
      continue;
    std::string source = ReadText(entry.path().string());
    for (std::sregex_iterator it(source.begin(), source.end(), literal), end; it != end; ++it) {
      std::string message = (*it)[1];
      std::string rest = (*it)[2];
      for (std::sregex_iterator c(rest.begin(), rest.end(), continuation); c != end; ++c)
        message += (*c)[1];
      messages.push_back(message);
    }
  }
  return messages;
}

TEST(Docs, EveryMessageOfTheProgramIsExplained) {
  std::string commandLine = ReadText(DocsDir + "/command-line.md");
  std::vector<std::string> messages = ProgramMessages();
  EXPECT_GT(messages.size(), 15u);
  for (const std::string &message : messages)
    EXPECT_NE(commandLine.find(message), std::string::npos)
        << "\"" << message << "\" is not explained in docs/command-line.md";
}

} // namespace
