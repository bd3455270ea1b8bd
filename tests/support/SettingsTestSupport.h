#pragma once

#include "platform/posix/registry/RegeditFormat.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& text);

// Text as the bytes of a file saved in Unicode: UTF-16LE after its
// byte-order mark (lone surrogates kept as they are), or UTF-8 with or
// without its mark (of well-formed text).
std::string Utf16LeFile(std::u16string_view text);
std::string Utf8File(std::u16string_view text, bool mark);

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

// Runs work where file cannot be read but its folder can be written, as
// after the program was run once with sudo: as root, in a child process that
// has given up root, with the file root's own (mode 0600); otherwise with
// the file's mode 0 for the call. Returns what work returned.
std::string RunWithUnreadableFile(const std::filesystem::path& file,
                                  const std::function<std::string()>& work);
