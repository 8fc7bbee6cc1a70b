#include "fakes/fake_files.h"

#include "platform/text_stream_base.h"

class FakeStream final : public BufferedTextStream {
 public:
  FakeStream(FakeFiles& fs, std::string path, Kind kind, std::string content)
      : BufferedTextStream(kind, std::move(content)), fs_(fs), path_(std::move(path)) {}
  ~FakeStream() override { CloseQuietly(); }

 protected:
  void WriteBlock(const std::string& block) override {
    if (fs_.diskFull) throw FsoError(fso_error::kDiskFull);
    auto it = fs_.files.find(path_);
    if (it == fs_.files.end()) throw FsoError(fso_error::kFileNotFound);
    it->second.content += block;
  }
  void Release() override {}

 private:
  FakeFiles& fs_;
  std::string path_;
};

std::string FakeFiles::ParentOf(const std::string& path) const {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

void FakeFiles::CheckParent(const std::string& path) const {
  const std::string parent = ParentOf(path);
  if (!parent.empty() && folders.count(parent) == 0) throw FsoError(fso_error::kPathNotFound);
  if (lockedFolders.count(parent)) throw FsoError(fso_error::kPermissionDenied);
}

void FakeFiles::DeleteFile(const std::string& path) {
  auto it = files.find(path);
  if (it == files.end()) throw FsoError(fso_error::kFileNotFound);
  if (it->second.readOnly) throw FsoError(fso_error::kPermissionDenied);
  files.erase(it);
}

std::unique_ptr<TextStream> FakeFiles::CreateTextFile(const std::string& path, bool overwrite) {
  if (folders.count(path)) throw FsoError(fso_error::kPermissionDenied);
  CheckParent(path);
  auto it = files.find(path);
  if (it != files.end()) {
    if (!overwrite) throw FsoError(fso_error::kFileAlreadyExists);
    if (it->second.readOnly) throw FsoError(fso_error::kPermissionDenied);
  }
  if (diskFull && it == files.end()) throw FsoError(fso_error::kDiskFull);
  files[path] = File{};
  return std::make_unique<FakeStream>(*this, path, BufferedTextStream::Kind::Writer, "");
}

std::unique_ptr<TextStream> FakeFiles::OpenTextFile(const std::string& path, IOMode mode,
                                                    bool create) {
  auto it = files.find(path);
  if (it == files.end()) {
    if (!create) throw FsoError(fso_error::kFileNotFound);
    CheckParent(path);
    it = files.emplace(path, File{}).first;
  }
  if (mode == IOMode::ForReading)
    return std::make_unique<FakeStream>(*this, path, BufferedTextStream::Kind::Reader,
                                        it->second.content);
  if (it->second.readOnly) throw FsoError(fso_error::kPermissionDenied);
  if (mode == IOMode::ForWriting) it->second.content.clear();
  return std::make_unique<FakeStream>(*this, path, BufferedTextStream::Kind::Writer, "");
}

void FakeFiles::CreateFolder(const std::string& path) {
  if (folders.count(path) || files.count(path)) throw FsoError(fso_error::kFileAlreadyExists);
  CheckParent(path);
  folders.insert(path);
}

std::string FakeFiles::GetFileVersion(const std::string& path) {
  if (!files.count(path)) throw FsoError(fso_error::kFileNotFound);
  auto it = versions.find(path);
  return it == versions.end() ? "" : it->second;
}

void FakeFiles::MoveReplace(const std::string& from, const std::string& to) {
  auto it = files.find(from);
  if (it == files.end()) throw FsoError(fso_error::kFileNotFound);
  auto target = files.find(to);
  if (target != files.end() && target->second.readOnly)
    throw FsoError(fso_error::kPermissionDenied);
  File moved = it->second;
  files.erase(it);
  files[to] = moved;
}

std::string FakeFiles::Content(const std::string& path) const {
  auto it = files.find(path);
  return it == files.end() ? "" : it->second.content;
}
