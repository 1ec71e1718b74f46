#pragma once

// A fresh temporary directory for one test, removed with all it holds.

#include <filesystem>
#include <string>

class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  // The directory, absolute.
  const std::string& Dir() const { return dir_; }
  // `name` inside the directory.
  std::string Path(const std::string& name) const;
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void Mkdir(const std::string& name) const;
  // The names of the entries in the directory (or in its `sub`), sorted,
  // joined by blanks.
  std::string Listing(const std::string& sub = "") const;

 private:
  std::string dir_;
};

// Makes `dir` the working directory until the end of the scope.
class Cwd_Guard {
 public:
  explicit Cwd_Guard(const std::string& dir);
  ~Cwd_Guard();
  Cwd_Guard(const Cwd_Guard&) = delete;
  Cwd_Guard& operator=(const Cwd_Guard&) = delete;

 private:
  std::filesystem::path old_;
};

// The path of the running test program, in UTF-8.
std::string Own_Program_Path();
