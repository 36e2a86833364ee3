#include "os/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace lintaro {
namespace {

namespace fs = std::filesystem;

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

fs::path InstalledHelpFile(const std::string& executable_folder) {
  return fs::path(executable_folder) / ".." / "share" / "lintaro" / kHelpFileName;
}

std::string FindHelpFile(const std::string& program_folder, const std::string& executable_folder) {
  const fs::path candidates[] = {
      fs::path(program_folder) / kHelpFileName,
      fs::path(executable_folder) / kHelpFileName,
      InstalledHelpFile(executable_folder),
  };
  for (const auto& candidate : candidates) {
    if (IsFile(candidate)) return candidate.lexically_normal().string();
  }
  return candidates[0].string();
}

// Makes the per-user folder when it is missing. The results it will hold
// carry employees' SSNs, so a folder made here is its owner's alone; the
// folders above it are made as any program makes them.
void MakePerUserFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::error_code ec;
  fs::create_directories(fs::path(folder).parent_path(), ec);
  ::mkdir(folder.c_str(), 0700);
}

// Sends the data to the per-user folder, creating it; sets the problem when
// it cannot be written.
void UsePerUserFolder(const std::string& per_user_folder, bool installed, ProgramFolders& f) {
  f.per_user = true;
  if (!per_user_folder.empty()) MakePerUserFolder(per_user_folder);
  f.data = per_user_folder.empty() ? f.program : WithTrailingSeparator(per_user_folder);
  if (!per_user_folder.empty() && FolderIsWritable(f.data) && !OthersMayWriteIn(f.data)) return;
  if (!per_user_folder.empty() && FolderIsWritable(f.data)) {
    f.problem = "The per-user data folder " + f.data +
                " may be written by others; choose a folder only you may write in.";
    return;
  }
  const std::string per_user =
      per_user_folder.empty() ? "per-user data folder" : "per-user data folder " + f.data;
  f.problem = installed ? "The " + per_user + " cannot be written."
                        : "Neither the program folder " + f.program + " nor the " + per_user +
                              " can be written.";
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

bool FolderIsWritable(const std::string& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool OthersMayWriteIn(const std::string& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IWOTH) != 0;
}

bool GroupMayWriteIn(const std::string& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IWGRP) != 0;
}

void GiveFolderGroup(int fd, const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return;
  // Refused to a maker not in the group: the file keeps the maker's.
  const int refused = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
  (void)refused;
}

bool IsInstalledCopy(const std::string& executable_folder) {
  const fs::path folder = fs::path(WithTrailingSeparator(executable_folder)).parent_path();
  // The folder of the shared files: the command line's package alone holds
  // its samples there, the desktop program's its help file.
  std::error_code ec;
  return folder.filename() == "bin" &&
         fs::is_directory(InstalledHelpFile(executable_folder).parent_path(), ec) &&
         !IsFile(folder / kHelpFileName);
}

std::string PerUserDataFolder(const char* xdg_data_home, const char* home) {
  // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
  if (xdg_data_home != nullptr && xdg_data_home[0] == '/')
    return (fs::path(xdg_data_home) / "Lintaro").string();
  if (home != nullptr && home[0] != '\0')
    return (fs::path(home) / ".local" / "share" / "Lintaro").string();
  return {};
}

std::string PerUserDataFolder() {
  const char* home = std::getenv("HOME");
  std::string account_home;
  if (home == nullptr || home[0] == '\0') {
    // getpwuid_r, not getpwuid: runs on several threads must not share a buffer.
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
      account_home = found->pw_dir;
    home = account_home.c_str();
  }
  return PerUserDataFolder(std::getenv("XDG_DATA_HOME"), home);
}

ProgramFolders ResolveProgramFolders(const std::string& executable_folder,
                                     const std::string& home_option, const std::string& home_env,
                                     const std::string& per_user_folder) {
  ProgramFolders f;
  const bool chosen = !home_option.empty() || !home_env.empty();
  std::string program = !home_option.empty() ? home_option
                        : !home_env.empty()  ? home_env
                                             : executable_folder;
  std::error_code ec;
  fs::path absolute = fs::absolute(program, ec);
  if (!ec) program = absolute.lexically_normal().string();
  f.program = WithTrailingSeparator(program);
  f.help_file = FindHelpFile(f.program, executable_folder);

  const bool installed = !chosen && IsInstalledCopy(executable_folder);
  // Where others may write, another user could replace the results, or
  // put a journal beside them that rewrites them when they are next read.
  const bool others_may_write = OthersMayWriteIn(f.program);
  if (!installed && FolderIsWritable(f.program) && !others_may_write) {
    f.data = f.program;
    return f;
  }
  // A folder the user named is used as named: results never go elsewhere
  // without being asked for. Only the executable's own folder falls back.
  if (chosen) {
    f.data = f.program;
    std::error_code exists_ec;
    const std::string named =
        f.program.size() > 1 ? f.program.substr(0, f.program.size() - 1) : f.program;
    if (fs::is_directory(f.program, exists_ec) && others_may_write)
      f.problem = "The program folder " + named +
                  " may be written by others; choose a folder only you may write in.";
    else if (fs::is_directory(f.program, exists_ec))
      f.problem = "The program folder " + named + " cannot be written.";
    else if (fs::exists(named, exists_ec))
      f.problem = "The program folder " + named + " is not a folder.";
    else
      f.problem = "The program folder " + named + " does not exist.";
    return f;
  }
  UsePerUserFolder(per_user_folder, installed, f);
  return f;
}

}  // namespace lintaro
