// POSIX stand-in for the file-system object: plain descriptors, whole-block writes.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/posix/posix_path.h"
#include "platform/text_stream_base.h"

const char kPathSep[] = "/";

#ifndef QENV_VERSION
#define QENV_VERSION ""
#endif

namespace {

[[noreturn]] void ThrowErrno(int err) {
  throw FsoError(posix::FsoNumberForErrno(err));
}

// Where a block that did not fit is cut back to: just after its last whole line among the
// bytes that reached the file (0 when none did).
std::size_t WholeLinesOf(const std::string& block, std::size_t written) {
  const std::size_t lf = block.rfind('\n', written == 0 ? 0 : written - 1);
  return written == 0 || lf == std::string::npos ? 0 : lf + 1;
}

class PosixTextStream final : public BufferedTextStream {
 public:
  PosixTextStream(int fd, Kind kind, std::string content, bool append)
      : BufferedTextStream(kind, std::move(content)), fd_(fd), append_(append) {}
  ~PosixTextStream() override { CloseQuietly(); }

 protected:
  void WriteBlock(const std::string& block) override {
    // One write per block: with O_APPEND the kernel places it whole at the end. Appenders
    // also hold the file's lock, so that where the block begins is known and nobody
    // else's lines are touched when a block that does not fit (a full disk) is cut back.
    const bool locked = append_ && Lock();
    struct stat st {};
    const off_t start = locked ? (::fstat(fd_, &st) == 0 ? st.st_size : -1)
                               : (append_ ? -1 : ::lseek(fd_, 0, SEEK_CUR));
    std::size_t done = 0;
    int err = 0;
    while (done < block.size()) {
      ssize_t n = ::write(fd_, block.data() + done, block.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        err = errno;
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    if (err != 0 && done > 0 && start >= 0) {
      // A torn last line would run into whatever is written next: keep whole lines only.
      const off_t keep = start + static_cast<off_t>(WholeLinesOf(block, done));
      if (::ftruncate(fd_, keep) == 0 && !append_) ::lseek(fd_, keep, SEEK_SET);
    }
    if (locked) ::flock(fd_, LOCK_UN);
    if (err != 0) ThrowErrno(err);
  }
  void Release() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  // False where the file system keeps no locks (the block is then written unlocked); a lock
  // that stays held past kAppendLockWait throws.
  bool Lock() {
    const auto until = std::chrono::steady_clock::now() + kAppendLockWait;
    for (;;) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
      if (errno != EWOULDBLOCK && errno != EINTR) return false;
      if (std::chrono::steady_clock::now() >= until) throw FsoError(fso_error::kPermissionDenied);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  int fd_;
  bool append_;
};

std::string ReadAll(int fd) {
  std::string content;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ThrowErrno(err);
    }
    if (n == 0) break;
    content.append(buf, static_cast<std::size_t>(n));
  }
  return content;
}

// A missing path is a missing file when its folder is there, else a missing folder.
long MissingNumber(const std::string& nativePath) {
  const std::size_t slash = nativePath.find_last_of('/');
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : nativePath.substr(0, slash));
  struct stat st {};
  const bool folderThere = ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return folderThere ? fso_error::kFileNotFound : fso_error::kPathNotFound;
}

// Windows refuses to write a read-only file even to an administrator; root here would not be
// stopped by the permission bits, so the stand-in checks them itself.
void RefuseReadOnly(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    throw FsoError(fso_error::kPermissionDenied);
}

// This executable's path as the kernel names it. Read through the link rather than stat'ed
// through it: a program run under valgrind sees valgrind's own tool behind the link.
std::string SelfPath() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return buf;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// A folder's own descriptor (O_DIRECTORY, and O_NOFOLLOW below the first): the names below it are
// reached through it, so a link put in place of this folder after it was opened changes
// nothing, and a link at a name below it is refused.
class PosixFolder final : public Folder {
 public:
  explicit PosixFolder(int fd) : fd_(fd) {}
  ~PosixFolder() override { ::close(fd_); }
  PosixFolder(const PosixFolder&) = delete;
  PosixFolder& operator=(const PosixFolder&) = delete;

  // The log folders and files tell what the agent is and does: a folder made here is
  // 0750 and a file 0640 whatever the umask; one that was there keeps its mode.
  std::unique_ptr<Folder> SubFolder(const std::string& name) override {
    const bool made = ::mkdirat(fd_, name.c_str(), kFolderMode) == 0;
    if (!made && errno != EEXIST) ThrowErrno(errno);
    const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) ThrowRefusedOrErrno(errno);
    if (made) ::fchmod(fd, kFolderMode);
    return std::make_unique<PosixFolder>(fd);
  }

  std::unique_ptr<TextStream> AppendTo(const std::string& name) override {
    // O_NONBLOCK: a FIFO planted at the name must not hold the run up; anything but a
    // plain file is refused below. Made new when it can be, so that only a file made here
    // gets its mode set.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
      fd = ::openat(fd_, name.c_str(), kFlags | O_CREAT | O_EXCL, kFileMode);
      if (fd >= 0) {
        ::fchmod(fd, kFileMode);
        break;
      }
      if (errno != EEXIST) break;
      fd = ::openat(fd_, name.c_str(), kFlags);  // gone again in between: made on the next round
      if (fd < 0 && errno != ENOENT) break;
    }
    if (fd < 0) ThrowRefusedOrErrno(errno);
    struct stat st {};
    long refused = 0;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)
      refused = fso_error::kPathFileAccess;  // a second name may be a link to any file
    else if ((st.st_mode & S_IWUSR) == 0)
      refused = fso_error::kPermissionDenied;  // read-only, as Windows would refuse it
    if (refused != 0 || ::fcntl(fd, F_SETFL, O_APPEND) != 0) {
      ::close(fd);
      throw FsoError(refused != 0 ? refused : fso_error::kPathFileAccess);
    }
    return std::make_unique<PosixTextStream>(fd, BufferedTextStream::Kind::Writer, std::string(),
                                             true);
  }

 private:
  // ELOOP (a link at the name) and ENOTDIR (a file, or a link to one) are refusals.
  [[noreturn]] static void ThrowRefusedOrErrno(int err) {
    if (err == ELOOP || err == ENOTDIR || err == ENXIO) throw FsoError(fso_error::kPathFileAccess);
    ThrowErrno(err);
  }
  static constexpr mode_t kFolderMode = 0750;
  static constexpr mode_t kFileMode = 0640;
  int fd_;
};

class PosixFiles final : public Files {
 public:
  std::unique_ptr<Folder> OpenFolder(const std::string& path) override {
    const int fd = ::open(posix::NativePath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowErrno(errno);
    return std::make_unique<PosixFolder>(fd);
  }

  bool FileExists(const std::string& path) override {
    struct stat st {};
    return ::stat(posix::NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  void DeleteFile(const std::string& path) override {
    const std::string p = posix::NativePath(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) throw FsoError(MissingNumber(p));
    if (!S_ISREG(st.st_mode)) throw FsoError(fso_error::kFileNotFound);
    // Not forced: a file without write permission stays, as a read-only file does on Windows.
    if ((st.st_mode & S_IWUSR) == 0) throw FsoError(fso_error::kPermissionDenied);
    if (::unlink(p.c_str()) != 0) ThrowErrno(errno);
  }

  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (overwrite ? 0 : O_EXCL | O_NOFOLLOW);
    return OpenFd(path, flags, BufferedTextStream::Kind::Writer);
  }

  std::unique_ptr<TextStream> OpenTextFile(const std::string& path, IOMode mode,
                                           bool create) override {
    switch (mode) {
      case IOMode::ForReading: {
        const std::string p = posix::NativePath(path);
        if (!FileExists(p)) {
          if (!create) throw FsoError(MissingNumber(p));
          return CreateTextFile(p, false);
        }
        int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) ThrowErrno(errno);
        std::string content = ReadAll(fd);
        return std::make_unique<PosixTextStream>(fd, BufferedTextStream::Kind::Reader,
                                                 std::move(content), false);
      }
      case IOMode::ForWriting:
        return OpenFd(path, O_WRONLY | O_TRUNC | O_CLOEXEC | (create ? O_CREAT : 0),
                      BufferedTextStream::Kind::Writer);
      case IOMode::ForAppending:
        return OpenFd(path, O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0),
                      BufferedTextStream::Kind::Writer);
    }
    throw FsoError(fso_error::kBadFileMode);
  }

  bool FolderExists(const std::string& path) override {
    struct stat st {};
    return ::stat(posix::NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  void CreateFolder(const std::string& path) override {
    if (::mkdir(posix::NativePath(path).c_str(), 0755) != 0) ThrowErrno(errno);
  }

  std::string GetFileVersion(const std::string& path) override {
    const std::string p = posix::NativePath(path);
    if (!FileExists(p)) throw FsoError(MissingNumber(p));
    // ELF files carry no version resource; the stand-in knows only its own executable's.
    return SameFile(p, SelfPath()) ? QENV_VERSION : "";
  }

  void MoveReplace(const std::string& from, const std::string& to) override {
    if (::rename(posix::NativePath(from).c_str(), posix::NativePath(to).c_str()) != 0)
      ThrowErrno(errno);
  }

 private:
  std::unique_ptr<TextStream> OpenFd(const std::string& path, int flags,
                                     BufferedTextStream::Kind kind) {
    const std::string p = posix::NativePath(path);
    if ((flags & O_EXCL) == 0) RefuseReadOnly(p);
    int fd = ::open(p.c_str(), flags, 0644);
    if (fd < 0) {
      if (errno == ENOENT) throw FsoError(MissingNumber(p));
      ThrowErrno(errno);
    }
    return std::make_unique<PosixTextStream>(fd, kind, std::string(), (flags & O_APPEND) != 0);
  }
};

}  // namespace

std::unique_ptr<Files> CreateFiles() {
  return std::make_unique<PosixFiles>();
}
