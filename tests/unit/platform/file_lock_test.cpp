#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>

#include "tests/support/process_runner.h"

namespace {

// Whether another open of path could take the lock now.
bool Lockable(const std::string &path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

} // namespace

TEST(FileLock, HoldsTheFileUntilReleasedAndLeavesOtherKindsAlone) {
  TTempDir dir;
  std::string file = dir.Write("a.txt", "a");
  {
    platform::TFileLock lock;
    ASSERT_TRUE(lock.Lock(file));
    EXPECT_TRUE(lock.Held());
    EXPECT_FALSE(Lockable(file));
  }
  EXPECT_TRUE(Lockable(file));

  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  platform::TFileLock fifo;
  EXPECT_TRUE(fifo.Lock(dir.File("fifo"))); // no writer: must not block
  EXPECT_FALSE(fifo.Held());

  platform::TFileLock missing;
  EXPECT_FALSE(missing.Lock(dir.File("missing")));
  EXPECT_EQ(errno, ENOENT);
}

// A waiter that gets the lock after the holder renamed a new file over the name
// locks the new file, not the replaced one.
TEST(FileLock, WaiterLocksTheFileThatReplacedTheOneItWaitedFor) {
  TTempDir dir;
  std::string file = dir.Write("a.txt", "old");
  auto holder = std::make_shared<platform::TFileLock>();
  ASSERT_TRUE(holder->Lock(file));
  auto waiter = std::make_shared<platform::TFileLock>();
  std::future<bool> locked =
      std::async(std::launch::async, [waiter, file] { return waiter->Lock(file); });
  // The waiter cannot finish while the holder has the lock: whatever it does
  // meanwhile, it must end up on the new file.
  std::string replacement = dir.Write("b.txt", "new");
  ASSERT_EQ(std::rename(replacement.c_str(), file.c_str()), 0);
  holder.reset();
  ASSERT_EQ(locked.wait_for(std::chrono::seconds(60)), std::future_status::ready)
      << "the waiter never got the lock";
  EXPECT_TRUE(locked.get());
  EXPECT_FALSE(Lockable(file));
}
