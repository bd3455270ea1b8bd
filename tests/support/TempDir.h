#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with its
// contents at destruction.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return Root; }

private:
  std::filesystem::path Root;
};

// Points XDG_CONFIG_HOME at a temporary folder for the lifetime of the
// object, so a test never touches the real settings, and XDG_DATA_HOME at
// a folder inside it, so the session records stay there too; restores
// both after.
class ScopedConfigHome {
public:
  ScopedConfigHome();
  ~ScopedConfigHome();
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

  // $XDG_CONFIG_HOME/marrowlink
  std::filesystem::path AppDir() const { return Home.Path() / "marrowlink"; }
  const std::filesystem::path& Path() const { return Home.Path(); }
  // $XDG_DATA_HOME/marrowlink
  std::filesystem::path DataDir() const { return Home.Path() / "data" / "marrowlink"; }

private:
  TempDir Home;
  bool HadPrevious = false;
  std::string Previous;
  bool HadPreviousData = false;
  std::string PreviousData;
};
