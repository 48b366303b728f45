// A file system for tests: the real disk, except that chosen operations fail on
// command, and every path it was asked to write is recorded.
#pragma once

#include "platform/file_io.h"

#include <cerrno>
#include <string>
#include <vector>

namespace platform {

class TFailingFileSystem : public TRealFileSystem {
public:
  // Fail the whole operation before anything is touched.
  bool FailRead = false;
  bool FailWrite = false;
  bool FailCopy = false;
  // Let the bytes reach the disk only halfway, then report a full disk.
  bool FailMidway = false;
  // Refuse renames as for a bind-mounted target (EBUSY).
  bool RenameBusy = false;
  // Refuse to reserve disk space with this errno (0: reserve as the disk does).
  int ReserveError = 0;
  // Act as a file system without unnamed temporary files.
  bool NoUnnamedFiles = false;

  std::vector<std::string> ReadPaths;
  std::vector<std::string> WrittenPaths;
  // Pairs of source and target (backups included), in call order.
  std::vector<std::pair<std::string, std::string>> Copies;

  bool ReadWholeFile(const std::string &path, std::string &data) override {
    ReadPaths.push_back(path);
    if (FailRead)
      return Refuse();
    return TRealFileSystem::ReadWholeFile(path, data);
  }

  bool WriteFileAtomic(const std::string &path, std::string_view content) override {
    WrittenPaths.push_back(path);
    if (FailWrite)
      return Refuse();
    return TRealFileSystem::WriteFileAtomic(path, content);
  }

  bool CopyFileReplacing(const std::string &source, const std::string &target) override {
    Copies.emplace_back(source, target);
    if (FailCopy)
      return Refuse();
    return TRealFileSystem::CopyFileReplacing(source, target);
  }

  bool CopyToBackup(const std::string &source, const std::string &backup) override {
    Copies.emplace_back(source, backup);
    if (FailCopy)
      return Refuse();
    return TRealFileSystem::CopyToBackup(source, backup);
  }

protected:
  bool WriteBytes(int fd, std::string_view bytes) override {
    if (!FailMidway)
      return TRealFileSystem::WriteBytes(fd, bytes);
    TRealFileSystem::WriteBytes(fd, bytes.substr(0, bytes.size() / 2));
    errno = ENOSPC;
    return false;
  }

  int RenameFile(const std::string &from, const std::string &to) override {
    return RenameBusy ? EBUSY : TRealFileSystem::RenameFile(from, to);
  }

  int OpenUnnamed(const std::string &directory, mode_t mode) override {
    if (!NoUnnamedFiles)
      return TRealFileSystem::OpenUnnamed(directory, mode);
    errno = EOPNOTSUPP;
    return -1;
  }

  bool ReserveSpace(int fd, std::size_t length) override {
    if (ReserveError == 0)
      return TRealFileSystem::ReserveSpace(fd, length);
    errno = ReserveError;
    return false;
  }

private:
  static bool Refuse() {
    errno = EIO;
    return false;
  }
};

} // namespace platform
