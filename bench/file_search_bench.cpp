// Runs one file search and prints how many entries it found (or the entries, with
// --print), for timing the search against other tools.
//
// Usage: file_search_bench [--subdirs] [--hidden] [--dirs] [--no-files] [--infos] [--print] MASK
#include <cstdio>
#include <string>

#include "core/files/file_search.h"
#include "platform/code_page.h"

int main(int argc, char **argv) {
  bool subdirs = false, hidden = false, files = true, dirs = false, infos = false, print = false;
  std::string mask;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--subdirs")
      subdirs = true;
    else if (argument == "--hidden")
      hidden = true;
    else if (argument == "--dirs")
      dirs = true;
    else if (argument == "--no-files")
      files = false;
    else if (argument == "--infos")
      infos = true;
    else if (argument == "--print")
      print = true;
    else
      mask = argument;
  }
  if (mask.empty()) {
    std::fprintf(stderr,
                 "usage: %s [--subdirs] [--hidden] [--dirs] [--no-files] [--infos] "
                 "[--print] MASK\n",
                 argv[0]);
    return 1;
  }
  const std::u16string hostMask = BytesToText(mask);
  if (infos) {
    const TFileList list = FindFileInfos(hostMask, subdirs, hidden, files, dirs);
    if (print)
      for (std::size_t i = 0; i < list.Count(); ++i)
        std::printf("%s\n", TextToBytes(list.GetFullName(i)).c_str());
    std::fprintf(stderr, "%zu\n", list.Count());
  } else {
    const TTextList names = FindFiles(hostMask, subdirs, hidden, files, dirs);
    if (print)
      for (const std::u16string &name : names)
        std::printf("%s\n", TextToBytes(name).c_str());
    std::fprintf(stderr, "%zu\n", names.size());
  }
  return 0;
}
