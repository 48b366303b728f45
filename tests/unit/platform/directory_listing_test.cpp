#include "platform/directory_listing.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "tests/support/bounded_child.h"
#include "tests/unit/core/files/file_tree.h"

namespace {

std::map<std::string, platform::TEntryKind> List(const std::string &directory, int &error) {
  std::vector<platform::TDirectoryEntry> entries;
  platform::TDirectoryIdentity identity;
  error = platform::ListDirectory(directory, entries, identity);
  std::map<std::string, platform::TEntryKind> result;
  for (const platform::TDirectoryEntry &entry : entries)
    result[entry.FName] = entry.FKind;
  return result;
}

} // namespace

TEST(DirectoryListing, ListsEveryEntryAsBytesWithoutDotEntries) {
  TFileTree tree;
  tree.File("plain");
  tree.File(".hidden");
  tree.File("line\nbreak");
  tree.File("bad\xFF\xFE");
  tree.Dir("sub");
  tree.Link("plain", "link");
  tree.Link("nowhere", "dangling");
  ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0644), 0);
  int error = -1;
  const auto entries = List(tree.Root(), error);
  EXPECT_EQ(error, 0);
  using platform::TEntryKind;
  // File systems without entry types report Unknown; every one here has them.
  const std::map<std::string, TEntryKind> expected = {
      {"plain", TEntryKind::File},       {".hidden", TEntryKind::File},
      {"line\nbreak", TEntryKind::File}, {"bad\xFF\xFE", TEntryKind::File},
      {"sub", TEntryKind::Directory},    {"link", TEntryKind::Link},
      {"dangling", TEntryKind::Link},    {"fifo", TEntryKind::Other},
  };
  EXPECT_EQ(entries, expected);
}

TEST(DirectoryListing, EmptyDirectoryListsNothing) {
  TFileTree tree;
  int error = -1;
  EXPECT_TRUE(List(tree.Root(), error).empty());
  EXPECT_EQ(error, 0);
}

TEST(DirectoryListing, IdentityTellsTwoWaysToOneDirectoryApart) {
  TFileTree tree;
  tree.Dir("a");
  tree.Dir("b");
  tree.Link("a", "toa");
  std::vector<platform::TDirectoryEntry> entries;
  platform::TDirectoryIdentity a, b, toa;
  ASSERT_EQ(platform::ListDirectory(tree.Path("a"), entries, a), 0);
  ASSERT_EQ(platform::ListDirectory(tree.Path("b"), entries, b), 0);
  ASSERT_EQ(platform::ListDirectory(tree.Path("toa"), entries, toa), 0);
  EXPECT_EQ(a, toa);
  EXPECT_FALSE(a == b);
}

TEST(DirectoryListing, WhatCannotBeListedGivesTheSystemError) {
  TFileTree tree;
  tree.File("file");
  ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0644), 0);
  int error = 0;
  EXPECT_TRUE(List(tree.Path("missing"), error).empty());
  EXPECT_EQ(error, ENOENT);
  EXPECT_TRUE(List(tree.Path("file"), error).empty());
  EXPECT_EQ(error, ENOTDIR);
  // A FIFO is refused at once instead of blocking the open (in a child, so that a
  // blocking open fails the test); the child's exit code is the error.
  EXPECT_EQ(RunInBoundedChild([&] {
              int fifoError = 0;
              return List(tree.Path("fifo"), fifoError).empty() ? fifoError : 255;
            }),
            ENOTDIR);
}

TEST(DirectoryListing, UnreadableDirectoryFailsWithoutEntries) {
  TFileTree tree;
  tree.Dir("closed");
  tree.File("closed/inside");
  ASSERT_EQ(chmod(tree.Path("closed").c_str(), 0), 0);
  int error = -1;
  const auto entries = List(tree.Path("closed"), error);
  chmod(tree.Path("closed").c_str(), 0755);
  // Root reads it regardless of the mode.
  if (geteuid() != 0) {
    EXPECT_EQ(error, EACCES);
    EXPECT_TRUE(entries.empty());
  } else {
    EXPECT_EQ(error, 0);
    EXPECT_EQ(entries.size(), 1u);
  }
}
