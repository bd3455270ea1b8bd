#pragma once

#include "platform/posix/RegeditFormat.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& text);

// The hive file as parsed; fails the test when it does not parse.
platform::posix::RegistryHive ParseHiveFile(const std::filesystem::path& path);

// The files in a folder whose names begin with prefix.
std::vector<std::filesystem::path> FilesStartingWith(const std::filesystem::path& folder,
                                                     const std::string& prefix);

// Runs work in a forked child process and returns what it returned.
std::string RunInChild(const std::function<std::string()>& work);

// Runs work where the folder cannot be written: as root, which writes
// anywhere, in a child process that has given up root; returns what work
// returned. folder, inside a private temporary folder, is made read-only
// for the call.
std::string RunWithReadOnlyFolder(const std::filesystem::path& folder,
                                  const std::function<std::string()>& work);
