#pragma once
// An in-memory file system: files are byte strings, folders a set of names. Paths are
// compared as given. Tests can make a file read-only, a folder unwritable, or the disk full.
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/files.h"

class FakeFiles : public Files {
 public:
  struct File {
    std::string content;
    bool readOnly = false;
  };

  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  void DeleteFile(const std::string& path) override;
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override;
  std::unique_ptr<TextStream> OpenTextFile(const std::string& path, IOMode mode,
                                           bool create) override;
  bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
  void CreateFolder(const std::string& path) override;
  std::string GetFileVersion(const std::string& path) override;
  void MoveReplace(const std::string& from, const std::string& to) override;

  // The file's content, or "" when it does not exist.
  std::string Content(const std::string& path) const;

  std::map<std::string, File> files;
  std::set<std::string> folders;
  std::map<std::string, std::string> versions;
  // Folders in which nothing can be created (70 Permission denied).
  std::set<std::string> lockedFolders;
  // Every write fails with 61 Disk full while set.
  bool diskFull = false;
  // The unique names tried so far; the n-th gets n, zero-padded, as its random characters.
  int namesTried = 0;

 protected:
  std::string RandomCharacters(std::size_t count) override {
    const std::string n = std::to_string(++namesTried);
    return std::string(count > n.size() ? count - n.size() : 0, '0') + n;
  }

 private:
  std::string ParentOf(const std::string& path) const;
  void CheckParent(const std::string& path) const;
  friend class FakeStream;
};
