// What both builds' file-system objects share: unique names, and the folder walk of a file
// system that cannot hold folders open (the test doubles).
#include "platform/files.h"

#include <random>

namespace {

// Tests and creates by path: a file system without links has nothing to follow.
class PathFolder final : public Folder {
 public:
  PathFolder(Files& files, std::string path) : files_(files), path_(std::move(path)) {}
  std::unique_ptr<Folder> SubFolder(const std::string& name) override {
    const std::string path = Join(name);
    if (!files_.FolderExists(path)) {
      try {
        files_.CreateFolder(path);
      } catch (const RuntimeError&) {
        // A run started at the same moment may have made it since the test above.
        if (!files_.FolderExists(path)) throw;
      }
    }
    return std::make_unique<PathFolder>(files_, path);
  }
  std::unique_ptr<TextStream> AppendTo(const std::string& name) override {
    return files_.OpenTextFile(Join(name), IOMode::ForAppending, true);
  }

 private:
  std::string Join(const std::string& name) const {
    return !path_.empty() && path_.back() == kPathSep[0] ? path_ + name : path_ + kPathSep + name;
  }
  Files& files_;
  std::string path_;
};

}  // namespace

std::unique_ptr<Folder> Files::OpenFolder(const std::string& path) {
  // Without its closing separator (a root keeps it): names are joined with one.
  std::string folder = path;
  if (folder.size() > 1 && folder.back() == kPathSep[0] && folder[folder.size() - 2] != ':')
    folder.pop_back();
  if (!FolderExists(folder)) throw FsoError(fso_error::kPathNotFound);
  return std::make_unique<PathFolder>(*this, folder);
}

std::string Files::RandomCharacters(std::size_t count) {
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device source;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += kAlphabet[pick(source)];
  return out;
}

std::unique_ptr<TextStream> Files::CreateUniqueTextFile(const std::string& stem,
                                                        const std::string& suffix,
                                                        std::string& path) {
  constexpr int kAttempts = 100;
  constexpr std::size_t kRandomChars = 12;
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = stem + RandomCharacters(kRandomChars) + suffix;
    try {
      auto stream = CreateTextFile(candidate, false);
      path = candidate;
      return stream;
    } catch (const RuntimeError& e) {
      if (e.Number() != fso_error::kFileAlreadyExists || attempt == kAttempts) throw;
    }
  }
}
