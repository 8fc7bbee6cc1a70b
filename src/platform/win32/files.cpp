// The file-system object's operations on plain kernel32 calls (no COM): ANSI paths,
// whole-block writes, appends under LockFileEx so concurrent runs never lose a line.
#include "platform/files.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <memory>
#include <string>
#include <vector>

#include "platform/text_stream_base.h"
#include "platform/win32/owned_handle.h"
#include "platform/win32/system_dll.h"

const char kPathSep[] = "\\";

namespace {

long FsoNumber(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
      return fso_error::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return fso_error::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return fso_error::kPermissionDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return fso_error::kFileAlreadyExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return fso_error::kDiskFull;
    default:
      return fso_error::kPathFileAccess;
  }
}

[[noreturn]] void ThrowLast() {
  throw FsoError(FsoNumber(GetLastError()));
}

class Win32TextStream final : public BufferedTextStream {
 public:
  Win32TextStream(OwnedHandle h, Kind kind, std::string content, bool append)
      : BufferedTextStream(kind, std::move(content)), h_(std::move(h)), append_(append) {}
  ~Win32TextStream() override { CloseQuietly(); }

 protected:
  void WriteBlock(const std::string& block) override {
    const bool locked = append_ && Lock();
    // Wine finds the end of an append handle's file before it writes, not atomically with
    // the write, so two runs could land a block at the same offset: seek to the end while
    // the lock is held.
    if (append_) {
      LARGE_INTEGER zero{};
      SetFilePointerEx(h_.Get(), zero, nullptr, FILE_END);
    }
    std::size_t done = 0;
    DWORD err = 0;
    while (done < block.size()) {
      DWORD n = 0;
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(block.size() - done, 1u << 30));
      if (!WriteFile(h_.Get(), block.data() + done, chunk, &n, nullptr)) {
        err = GetLastError();
        break;
      }
      done += n;
    }
    if (locked) {
      OVERLAPPED ov2{};
      UnlockFileEx(h_.Get(), 0, MAXDWORD, MAXDWORD, &ov2);
    }
    if (err != 0) throw FsoError(FsoNumber(err));
  }
  void Release() override { h_.Reset(); }

 private:
  // False where the file system keeps no locks (the block is then written unlocked); a lock
  // that stays held past kAppendLockWait throws.
  bool Lock() {
    const DWORD start = GetTickCount();  // the difference stays right across its wrap
    for (;;) {
      OVERLAPPED ov{};
      if (LockFileEx(h_.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                     MAXDWORD, &ov))
        return true;
      if (GetLastError() != ERROR_LOCK_VIOLATION) return false;
      if (GetTickCount() - start >= static_cast<DWORD>(kAppendLockWait.count()))
        throw FsoError(fso_error::kPermissionDenied);
      ::Sleep(2);
    }
  }

  OwnedHandle h_;
  bool append_;
};

// The whole file behind h, which the caller keeps and closes.
std::string ReadAll(HANDLE h) {
  std::string content;
  char buf[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) ThrowLast();
    if (n == 0) break;
    content.append(buf, n);
  }
  return content;
}

// A reparse point (symbolic link, junction, mount point) by what the handle shows, or by
// what the name shows: Wine reports a Unix link to a folder only on the name.
bool IsReparsePoint(HANDLE h, const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  if (!GetFileInformationByHandle(h, &info)) return true;
  const DWORD byName = GetFileAttributesA(path.c_str());
  return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
         byName == INVALID_FILE_ATTRIBUTES || (byName & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A folder held by a handle that may list it and does not share delete access: while it is
// open, nobody can rename or remove it and put a link in its place, so paths below it stay
// where they were checked. Sharing is checked only against holders with data or delete
// access: a handle that may only read attributes would hold nothing.
class Win32Folder final : public Folder {
 public:
  Win32Folder(OwnedHandle h, std::string path) : h_(std::move(h)), path_(std::move(path)) {}

  // The folder at path; a reparse point is refused unless followLinks.
  static std::unique_ptr<Folder> Open(const std::string& path, bool followLinks) {
    OwnedHandle h(CreateFileA(
        path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
    if (!h) ThrowLast();
    BY_HANDLE_FILE_INFORMATION info{};
    const bool refused = followLinks ? !GetFileInformationByHandle(h.Get(), &info)
                                     : IsReparsePoint(h.Get(), path, info);
    if (refused || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      throw FsoError(fso_error::kPathFileAccess);
    return std::make_unique<Win32Folder>(std::move(h), path);
  }

  std::unique_ptr<Folder> SubFolder(const std::string& name) override {
    const std::string path = Join(name);
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      ThrowLast();
    return Open(path, false);
  }

  std::unique_ptr<TextStream> AppendTo(const std::string& name) override {
    const std::string path = Join(name);
    // Read access too: LockFileEx refuses a handle that may only append. Made new when it
    // can be (CREATE_NEW never follows a link, even one to nothing); an existing file is
    // opened as itself, never through a reparse point.
    const DWORD access = FILE_APPEND_DATA | FILE_READ_DATA;
    OwnedHandle h(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h && GetLastError() == ERROR_FILE_EXISTS)
      h.Reset(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h) ThrowLast();
    BY_HANDLE_FILE_INFORMATION info{};
    long refused = 0;
    if (IsReparsePoint(h.Get(), path, info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        info.nNumberOfLinks != 1)
      refused = fso_error::kPathFileAccess;  // a second name may be a link to any file
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
      refused = fso_error::kPermissionDenied;  // Wine run as root would write it anyway
    if (refused != 0) throw FsoError(refused);
    return std::make_unique<Win32TextStream>(std::move(h), BufferedTextStream::Kind::Writer,
                                             std::string(), true);
  }

 private:
  std::string Join(const std::string& name) const {
    return !path_.empty() && path_.back() == '\\' ? path_ + name : path_ + "\\" + name;
  }
  OwnedHandle h_;
  std::string path_;
};

class Win32Files final : public Files {
 public:
  std::unique_ptr<Folder> OpenFolder(const std::string& path) override {
    return Win32Folder::Open(path, true);
  }

  bool FileExists(const std::string& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  void DeleteFile(const std::string& path) override {
    if (!DeleteFileA(path.c_str())) ThrowLast();
  }

  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    return Open(path, GENERIC_WRITE, overwrite ? CREATE_ALWAYS : CREATE_NEW,
                BufferedTextStream::Kind::Writer, false);
  }

  std::unique_ptr<TextStream> OpenTextFile(const std::string& path, IOMode mode,
                                           bool create) override {
    switch (mode) {
      case IOMode::ForReading: {
        OwnedHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) ThrowLast();
        std::string content = ReadAll(h.Get());
        return std::make_unique<Win32TextStream>(std::move(h), BufferedTextStream::Kind::Reader,
                                                 std::move(content), false);
      }
      case IOMode::ForWriting:
        return Open(path, GENERIC_WRITE, create ? CREATE_ALWAYS : TRUNCATE_EXISTING,
                    BufferedTextStream::Kind::Writer, false);
      case IOMode::ForAppending:
        // Read access too: LockFileEx refuses a handle that may only append.
        return Open(path, FILE_APPEND_DATA | FILE_READ_DATA, create ? OPEN_ALWAYS : OPEN_EXISTING,
                    BufferedTextStream::Kind::Writer, true);
    }
    throw FsoError(fso_error::kBadFileMode);
  }

  bool FolderExists(const std::string& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  void CreateFolder(const std::string& path) override {
    if (!CreateDirectoryA(path.c_str(), nullptr)) ThrowLast();
  }

  // version.dll is loaded from the system folder on first use; without it there is no
  // version to read, as for a file without one.
  std::string GetFileVersion(const std::string& path) override {
    const auto sizeOf = system_dll::Get<decltype(&::GetFileVersionInfoSizeA)>(
        "version.dll", "GetFileVersionInfoSizeA");
    const auto infoOf =
        system_dll::Get<decltype(&::GetFileVersionInfoA)>("version.dll", "GetFileVersionInfoA");
    const auto query =
        system_dll::Get<decltype(&::VerQueryValueA)>("version.dll", "VerQueryValueA");
    if (sizeOf == nullptr || infoOf == nullptr || query == nullptr) return "";
    DWORD dummy = 0;
    DWORD size = sizeOf(path.c_str(), &dummy);
    if (size == 0) {
      DWORD err = GetLastError();
      if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) ThrowLast();
      return "";
    }
    std::vector<char> data(size);
    if (!infoOf(path.c_str(), 0, size, data.data())) return "";
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!query(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info) return "";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
  }

  void MoveReplace(const std::string& from, const std::string& to) override {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) ThrowLast();
  }

 private:
  static std::unique_ptr<TextStream> Open(const std::string& path, DWORD access, DWORD disposition,
                                          BufferedTextStream::Kind kind, bool append) {
    // Windows refuses to write a read-only file; Wine run as root would not, so say it here.
    if (disposition != CREATE_NEW) {
      const DWORD a = GetFileAttributesA(path.c_str());
      if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) &&
          (a & FILE_ATTRIBUTE_READONLY))
        throw FsoError(fso_error::kPermissionDenied);
    }
    OwnedHandle h(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) ThrowLast();
    return std::make_unique<Win32TextStream>(std::move(h), kind, std::string(), append);
  }
};

}  // namespace

std::unique_ptr<Files> CreateFiles() {
  return std::make_unique<Win32Files>();
}
