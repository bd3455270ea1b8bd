#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Narrow names reach the system as the program's own byte strings do.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
