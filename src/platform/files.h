#pragma once
// The file-system object and its text streams: ANSI text, no byte-order mark, CR LF line
// ends. Every operation that cannot do what is asked throws RuntimeError with the
// file-system object's number and description (53 "File not found", 70 "Permission
// denied", 76 "Path not found" ...). FileExists and FolderExists never throw.
#include <cstddef>
#include <memory>
#include <string>

#include "runtime_error.h"

// The separator the core puts between path parts: "\" on Windows, "/" on POSIX.
extern const char kPathSep[];

class TextStream {
 public:
  virtual ~TextStream() = default;  // releasing a stream closes its file
  // Appends the text and CR LF.
  virtual void WriteLine(const std::string& text) = 0;
  // Appends the text as it is.
  virtual void Write(const std::string& text) = 0;
  // The next line without its line end (LF, or CR LF).
  virtual std::string ReadLine() = 0;
  virtual bool AtEndOfStream() = 0;
  // Writes out what is buffered and closes the file. A failing write throws.
  virtual void Close() = 0;
};

enum class IOMode { ForReading = 1, ForWriting = 2, ForAppending = 8 };

// A folder held open while what lies below it is made and opened, so that a link put at
// its name, or at a name below it, is never followed: a folder others may write to must
// not send a privileged run's writes elsewhere.
class Folder {
 public:
  virtual ~Folder() = default;
  // The subfolder name (one level, no separator), made when missing. A link or reparse
  // point at that name, or anything that is no folder, throws (75) and is left alone.
  virtual std::unique_ptr<Folder> SubFolder(const std::string& name) = 0;
  // Opens the file name in this folder for appending, creating it when missing. A link or
  // reparse point there, a file with more than one name, or anything that is no plain
  // file throws (75); a read-only file throws 70.
  virtual std::unique_ptr<TextStream> AppendTo(const std::string& name) = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  virtual bool FileExists(const std::string& path) = 0;
  // Not forced: a read-only file stays and the call throws (70).
  virtual void DeleteFile(const std::string& path) = 0;
  // A new empty text file; with overwrite an existing file is replaced, else 58.
  virtual std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) = 0;
  // Opens for reading, writing (truncates) or appending. Appending streams write each
  // buffered block with one locked append, so concurrent writers never tear lines.
  virtual std::unique_ptr<TextStream> OpenTextFile(const std::string& path, IOMode mode,
                                                   bool create) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // One new folder level; the parent exists. An existing folder throws 58.
  virtual void CreateFolder(const std::string& path) = 0;
  // The file's version text ("1.2.3.4"); "" when it carries none.
  virtual std::string GetFileVersion(const std::string& path) = 0;
  // Moves a file over another in one step (the target is replaced if present).
  virtual void MoveReplace(const std::string& from, const std::string& to) = 0;

  // The folder at path (an administrator's choice: links on the way to it are followed),
  // held open for SubFolder and AppendTo. Throws when it is not there.
  virtual std::unique_ptr<Folder> OpenFolder(const std::string& path);

  // A new, empty text file named stem + random characters + suffix, made exclusively: an
  // existing file or a link at the name is never opened, and a name that is taken is
  // replaced by a fresh one (after 100 clashes, 58). path receives the name made.
  std::unique_ptr<TextStream> CreateUniqueTextFile(const std::string& stem,
                                                   const std::string& suffix, std::string& path);

 protected:
  // Letters and digits from the system's random source, so that nobody can guess the
  // names CreateUniqueTextFile makes.
  virtual std::string RandomCharacters(std::size_t count);
};
