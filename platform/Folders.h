#pragma once

#include <string>
#include <vector>

// Folders and the files in them, for the program's own kept data. Failures
// return false with the last error set.
namespace platform {

// folder and name joined by the system's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// Makes the folder and any missing folders above it; true when it exists.
bool MakeFolders(const std::string& path);

// The names of the plain files in folder; empty when it cannot be read.
std::vector<std::string> FileNames(const std::string& folder);

bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);

} // namespace platform
