#pragma once
// A recovered file being written: created or truncated, written in pieces,
// closed. Write and close failures (a full disk, a damaged medium) raise
// OutputFileError naming the path.

#include <cstddef>
#include <filesystem>
#include <stdexcept>

class OutputFileError : public std::runtime_error {
 public:
  OutputFileError(const std::filesystem::path& path, const std::string& what, int error = 0);
  const std::filesystem::path& Path() const { return m_path; }
  // The errno of the failure, 0 when there was none.
  int Error() const { return m_error; }

 private:
  std::filesystem::path m_path;
  int m_error = 0;
};

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the file or truncates an existing one; false when it cannot be
  // opened for writing.
  bool Create(const std::filesystem::path& path);
  // Takes over a file already opened for writing; `path` names it in errors.
  void Adopt(int fd, const std::filesystem::path& path);
  void Write(const void* data, size_t size);
  // Closes the file; a failure of the last write-back raises OutputFileError.
  void Close();
  bool IsOpen() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
  std::filesystem::path m_path;
};
