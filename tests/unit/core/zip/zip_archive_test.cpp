#include "core/zip/zip_archive.h"

#include <random>

#include <gtest/gtest.h>

#include "tests/unit/core/zip/zip_test_archives.h"

namespace {

std::string SmallArchive() {
  TRawZipEntry described = DeflatedEntry("dir/second.txt", "second second second second");
  described.Flag = ZipFlagDataDescriptor;
  described.Descriptor = true;
  described.Comment = "entry note";
  return BuildArchive({StoredEntry("first.txt", "first content"), described}, "archive note");
}

std::uint32_t Field32(const std::string &image, std::size_t offset) {
  return std::uint32_t(static_cast<unsigned char>(image[offset])) |
         std::uint32_t(static_cast<unsigned char>(image[offset + 1])) << 8 |
         std::uint32_t(static_cast<unsigned char>(image[offset + 2])) << 16 |
         std::uint32_t(static_cast<unsigned char>(image[offset + 3])) << 24;
}

} // namespace

TEST(ZipArchive, EmptyArchiveIsTheBareEndRecord) {
  TZipArchive archive;
  std::string image;
  ASSERT_TRUE(archive.Save(image));
  EXPECT_EQ(image, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  EXPECT_EQ(loaded.Count(), 0u);
}

TEST(ZipArchive, EmptyImageIsNoArchive) {
  TZipArchive archive;
  EXPECT_FALSE(archive.Load(""));
}

TEST(ZipArchive, AddedEntriesSurviveSaveAndLoad) {
  TZipArchive archive;
  std::string big(100000, 'x');
  ASSERT_TRUE(archive.Add("a.txt", "alpha", false, 0x58210000, ZipFlagUtf8));
  ASSERT_TRUE(archive.Add("dir\\b.bin", std::string("\0\1\2", 3), true, 0x12345678, 0));
  ASSERT_TRUE(archive.Add("big", big, false, 0, 0));
  ASSERT_TRUE(archive.Add("empty", "", false, 0, 0));
  archive.SetComment("the comment");
  archive.SetEntryComment(1, "entry comment");
  std::string image;
  ASSERT_TRUE(archive.Save(image));

  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  ASSERT_EQ(loaded.Count(), 4u);
  EXPECT_EQ(loaded.Comment(), "the comment");
  const TZipEntryInfo &a = loaded.Info(0);
  EXPECT_EQ(a.FName, "a.txt");
  EXPECT_EQ(a.FFlag, ZipFlagUtf8);
  EXPECT_EQ(a.FCompressionMethod, ZipMethodDeflate);
  EXPECT_EQ(a.FModifiedDateTime, 0x58210000u);
  EXPECT_EQ(a.FUncompressedSize, 5u);
  EXPECT_EQ(a.FCrc32, platform::Crc32("alpha"));
  EXPECT_EQ(a.FMadeByVersion, 20);
  EXPECT_EQ(a.FRequiredVersion, 20);
  const TZipEntryInfo &b = loaded.Info(1);
  EXPECT_EQ(b.FName, "dir\\b.bin");
  EXPECT_EQ(b.FCompressionMethod, ZipMethodStored);
  EXPECT_EQ(b.FRequiredVersion, 10);
  EXPECT_EQ(b.FCompressedSize, 3u);
  EXPECT_EQ(b.FModifiedDateTime, 0x12345678u);
  EXPECT_EQ(b.FComment, "entry comment");
  EXPECT_LT(loaded.Info(2).FCompressedSize, 1000u);

  std::string content;
  ASSERT_TRUE(loaded.Read(0, content));
  EXPECT_EQ(content, "alpha");
  ASSERT_TRUE(loaded.Read(1, content));
  EXPECT_EQ(content, std::string("\0\1\2", 3));
  ASSERT_TRUE(loaded.Read(2, content));
  EXPECT_EQ(content, big);
  ASSERT_TRUE(loaded.Read(3, content));
  EXPECT_EQ(content, "");
}

TEST(ZipArchive, DuplicateNamesAreKeptAsFurtherEntries) {
  TZipArchive archive;
  ASSERT_TRUE(archive.Add("same", "one", true, 0, 0));
  ASSERT_TRUE(archive.Add("same", "two", true, 0, 0));
  std::string image;
  ASSERT_TRUE(archive.Save(image));
  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  ASSERT_EQ(loaded.Count(), 2u);
  std::string content;
  ASSERT_TRUE(loaded.Read(1, content));
  EXPECT_EQ(content, "two");
}

TEST(ZipArchive, LoadedEntriesAreCopiedIntoTheNextImage) {
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(SmallArchive()));
  ASSERT_TRUE(archive.Add("third", "3", false, 0, 0));
  archive.SetEntryComment(0, "changed");
  std::string image;
  ASSERT_TRUE(archive.Save(image));
  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  ASSERT_EQ(loaded.Count(), 3u);
  EXPECT_EQ(loaded.Comment(), "archive note");
  EXPECT_EQ(loaded.Info(0).FComment, "changed");
  EXPECT_EQ(loaded.Info(1).FComment, "entry note");
  EXPECT_EQ(loaded.Info(1).FFlag, ZipFlagDataDescriptor);
  std::string content;
  ASSERT_TRUE(loaded.Read(0, content));
  EXPECT_EQ(content, "first content");
  ASSERT_TRUE(loaded.Read(1, content));
  EXPECT_EQ(content, "second second second second");
  ASSERT_TRUE(loaded.Read(2, content));
  EXPECT_EQ(content, "3");
}

TEST(ZipArchive, EntryWithDataDescriptorKeepsItsDescriptorWhenSaved) {
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(SmallArchive()));
  std::string image;
  ASSERT_TRUE(archive.Save(image));
  // The original image already has the one descriptor form the archive writes.
  EXPECT_EQ(image, SmallArchive());
}

TEST(ZipArchive, CommentsAreCutTo65535Bytes) {
  TZipArchive archive;
  ASSERT_TRUE(archive.Add("a", "a", true, 0, 0));
  archive.SetComment(std::string(70000, 'c'));
  archive.SetEntryComment(0, std::string(70000, 'e'));
  EXPECT_EQ(archive.Comment().size(), 65535u);
  EXPECT_EQ(archive.Info(0).FComment.size(), 65535u);
  std::string image;
  ASSERT_TRUE(archive.Save(image));
  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  EXPECT_EQ(loaded.Comment(), std::string(65535, 'c'));
}

TEST(ZipArchive, NamesThatDoNotFitAreRefused) {
  TZipArchive archive;
  EXPECT_FALSE(archive.Add("", "x", true, 0, 0));
  EXPECT_FALSE(archive.Add(std::string(65536, 'n'), "x", true, 0, 0));
  EXPECT_TRUE(archive.Add(std::string(65535, 'n'), "x", true, 0, 0));
  EXPECT_EQ(archive.Count(), 1u);
}

TEST(ZipArchive, EveryTruncationOfAnArchiveFailsToLoad) {
  std::string image = SmallArchive();
  for (std::size_t length = 0; length < image.size(); ++length) {
    TZipArchive archive;
    EXPECT_FALSE(archive.Load(image.substr(0, length))) << length;
  }
}

TEST(ZipArchive, EveryChangedByteEitherFailsOrReadsTheTrueContent) {
  const std::string image = SmallArchive();
  const std::string contents[] = {"first content", "second second second second"};
  for (std::size_t position = 0; position < image.size(); ++position) {
    for (unsigned char mask : {0x01, 0x80, 0xFF}) {
      std::string damaged = image;
      damaged[position] = char(damaged[position] ^ mask);
      TZipArchive archive;
      if (!archive.Load(damaged))
        continue;
      for (std::size_t i = 0; i < archive.Count() && i < 2; ++i) {
        std::string content;
        if (archive.Read(i, content)) {
          EXPECT_EQ(content, contents[i]) << position << " " << int(mask);
        }
      }
      std::string saved;
      EXPECT_TRUE(archive.Save(saved));
    }
  }
}

TEST(ZipArchive, RandomlyMutatedArchivesNeverCrash) {
  TZipArchive source;
  ASSERT_TRUE(source.Add("a", std::string(3000, 'a') + "tail", false, 0, 0));
  ASSERT_TRUE(source.Add("b/c", "stored", true, 0, 0));
  source.SetComment("c");
  std::string image;
  ASSERT_TRUE(source.Save(image));
  std::mt19937 random(20240611);
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = image;
    int changes = 1 + int(random() % 4);
    for (int c = 0; c < changes; ++c)
      damaged[random() % damaged.size()] = char(random());
    if (random() % 5 == 0)
      damaged.resize(random() % damaged.size());
    TZipArchive archive;
    if (!archive.Load(damaged))
      continue;
    ++loaded;
    for (std::size_t i = 0; i < archive.Count(); ++i) {
      std::string content;
      if (archive.Read(i, content)) {
        EXPECT_EQ(platform::Crc32(content), archive.Info(i).FCrc32);
      }
    }
  }
  EXPECT_GT(loaded, 0);
}

TEST(ZipArchive, DeclaredEntryCountBeyondTheDirectoryIsRefused) {
  std::string image = BuildArchive({StoredEntry("a", "a")});
  // The end record's two counts, at 8 and 10 from its start.
  std::size_t end = image.size() - 22;
  image[end + 8] = image[end + 10] = char(0xF0);
  image[end + 9] = image[end + 11] = char(0xFF);
  TZipArchive archive;
  EXPECT_FALSE(archive.Load(image));
}

TEST(ZipArchive, Zip64MarkersAreRefused) {
  TRawZipEntry entry = StoredEntry("a", "a");
  entry.UncompressedSize = 0xFFFFFFFF;
  TZipArchive archive;
  EXPECT_FALSE(archive.Load(BuildArchive({entry})));
}

TEST(ZipArchive, OffsetsOutsideTheImageAreRefused) {
  std::string image = BuildArchive({StoredEntry("a", "abc")});
  std::size_t end = image.size() - 22;
  std::size_t directory = Field32(image, end + 16);
  // The local header offset of the only central record, at 42 from its start.
  for (std::uint32_t offset : {0x7FFFFFF0u, std::uint32_t(directory), 1u}) {
    std::string damaged = image;
    damaged.replace(
        directory + 42, 4,
        std::string{char(offset), char(offset >> 8), char(offset >> 16), char(offset >> 24)});
    TZipArchive archive;
    EXPECT_FALSE(archive.Load(damaged)) << offset;
  }
}

TEST(ZipArchive, CompressedSizeReachingIntoTheDirectoryIsRefused) {
  TRawZipEntry entry = StoredEntry("a", "abc");
  entry.CompressedSize = 200;
  TZipArchive archive;
  EXPECT_FALSE(archive.Load(BuildArchive({entry})));
}

TEST(ZipArchive, HugeDeclaredSizeOfASmallEntryIsNotBelieved) {
  TRawZipEntry entry = DeflatedEntry("bomb", std::string(1000, 'z'));
  entry.UncompressedSize = 0xFFFFFFF0;
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({entry})));
  std::string content;
  EXPECT_FALSE(archive.Read(0, content));
  EXPECT_TRUE(content.empty());
}

TEST(ZipArchive, DataExpandingBeyondItsDeclaredSizeFails) {
  TRawZipEntry entry = DeflatedEntry("bomb", std::string(10'000'000, '\0'));
  entry.UncompressedSize = 1000;
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({entry})));
  std::string content;
  EXPECT_FALSE(archive.Read(0, content));
}

TEST(ZipArchive, EntriesSharingTheirBytesAreRefused) {
  TRawZipEntry bomb = DeflatedEntry("0", std::string(1'000'000, '\0'));
  std::vector<TRawZipEntry> twenty{bomb};
  for (int i = 1; i < 20; ++i) {
    TRawZipEntry copy = bomb;
    copy.Name = std::to_string(i);
    copy.SharesDataOf = 0;
    twenty.push_back(copy);
  }
  TRawZipEntry later = StoredEntry("later", "x");
  later.SharesDataOf = 0;
  TRawZipEntry runsOver = StoredEntry("a", "abc");
  runsOver.CompressedSize = runsOver.UncompressedSize = 3 + 5;
  TRawZipEntry described = DeflatedEntry("d", "described");
  described.Flag = ZipFlagDataDescriptor;
  described.Descriptor = true;
  struct TCase {
    const char *Name;
    std::vector<TRawZipEntry> Entries;
    bool Loads;
  } cases[] = {
      {"twenty records share one deflate stream", twenty, false},
      {"a later record points back at an earlier entry",
       {StoredEntry("x", "x"), StoredEntry("y", "y"), later},
       false},
      {"data runs over the next local header", {runsOver, StoredEntry("b", "b")}, false},
      {"adjacent entries, empty ones among them",
       {StoredEntry("e", ""), StoredEntry("f", "f"), StoredEntry("g", "")},
       true},
      {"entries with data descriptors between them", {described, described}, true},
  };
  for (const TCase &c : cases) {
    TZipArchive archive;
    EXPECT_EQ(archive.Load(BuildArchive(c.Entries)), c.Loads) << c.Name;
    EXPECT_EQ(archive.Count(), c.Loads ? c.Entries.size() : 0u) << c.Name;
  }
}

TEST(ZipArchive, WrongCrcFailsToRead) {
  TRawZipEntry entry = StoredEntry("a", "abc");
  entry.Crc ^= 1;
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({entry})));
  std::string content;
  EXPECT_FALSE(archive.Read(0, content));
}

TEST(ZipArchive, EncryptedAndUnknownMethodsAreListedButNotRead) {
  TRawZipEntry encrypted = StoredEntry("locked", "abc");
  encrypted.Flag = ZipFlagEncrypted;
  TRawZipEntry bzip2 = StoredEntry("bz", "abc");
  bzip2.Method = 12;
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({encrypted, bzip2})));
  ASSERT_EQ(archive.Count(), 2u);
  EXPECT_EQ(archive.Info(1).FCompressionMethod, 12);
  std::string content;
  EXPECT_FALSE(archive.Read(0, content));
  EXPECT_FALSE(archive.Read(1, content));
}

TEST(ZipArchive, StoredSizesThatDisagreeFailToRead) {
  TRawZipEntry entry = StoredEntry("a", "abc");
  entry.UncompressedSize = 2;
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({entry})));
  std::string content;
  EXPECT_FALSE(archive.Read(0, content));
}

TEST(ZipArchive, TrailingBytesAfterTheCommentAreTolerated) {
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(BuildArchive({StoredEntry("a", "abc")}, "note") + "junk"));
  EXPECT_EQ(archive.Comment(), "note");
}

// An end-record signature inside the archive comment is part of the comment: the
// archive loads back with its entry and the whole comment.
TEST(ZipArchive, EndRecordSignatureInTheCommentIsNotTakenForTheRecord) {
  const std::string signature("PK\x05\x06", 4);
  const std::string comments[] = {
      signature + std::string(18, '\0'),                                 // a valid empty record
      signature + std::string(4, '\0') + "\x01" + std::string(13, '\0'), // a broken one
      "note " + signature + std::string(18, '\0') + "tail",
      signature + std::string(16, '\0') + "\x04" + std::string(1, '\0') + "four",
      signature,
  };
  for (const std::string &comment : comments) {
    SCOPED_TRACE(comment.size());
    TZipArchive archive;
    ASSERT_TRUE(archive.Add("a.txt", "alpha", false, 0, 0));
    archive.SetComment(comment);
    std::string image;
    ASSERT_TRUE(archive.Save(image));
    TZipArchive loaded;
    ASSERT_TRUE(loaded.Load(image));
    ASSERT_EQ(loaded.Count(), 1u);
    std::string content;
    EXPECT_TRUE(loaded.Read(0, content));
    EXPECT_EQ(content, "alpha");
    EXPECT_EQ(loaded.Comment(), comment);
  }
}

// A comment whose own end record would be found first is refused on save, and the
// archive on disk stays as it was: written, it would read back as another archive.
TEST(ZipArchive, CommentThatReadersWouldTakeForTheEndRecordIsNotSaved) {
  // An empty archive's record is at 0 and its comment starts at 22; one byte later a
  // record whose directory (empty) "lies right before it".
  const std::string fake = std::string("PK\x05\x06", 4) + std::string(12, '\0') +
                           std::string("\x17\0\0\0", 4) + std::string(2, '\0');
  TZipArchive archive;
  archive.SetComment("x" + fake);
  std::string image = "untouched";
  EXPECT_FALSE(archive.Save(image));
  EXPECT_EQ(image, "untouched");
  archive.SetComment("x" + fake.substr(0, 16) + "\x18" + fake.substr(17)); // off by one
  ASSERT_TRUE(archive.Save(image));
  TZipArchive loaded;
  ASSERT_TRUE(loaded.Load(image));
  EXPECT_EQ(loaded.Comment(), archive.Comment());
}
