#include "core/program_folder.h"

#include <unistd.h>

#include <filesystem>


namespace lintaro {
namespace {

bool IsFile(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec);
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

bool FolderIsWritable(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(folder, ec) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

ProgramFolders ResolveProgramFolders(const std::string& executable_folder,
                                     const std::string& home_option,
                                     const std::string& home_env,
                                     const std::string& per_user_folder) {
  ProgramFolders f;
  std::string program = !home_option.empty() ? home_option
                        : !home_env.empty()  ? home_env
                                             : executable_folder;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(program, ec);
  if (!ec) program = absolute.lexically_normal().string();
  f.program = WithTrailingSeparator(program);

  // The help file sits beside the executable in a build folder and under
  // share/lintaro in an installation.
  const std::filesystem::path candidates[] = {
      std::filesystem::path(f.program) / kHelpFileName,
      std::filesystem::path(executable_folder) / kHelpFileName,
      std::filesystem::path(executable_folder) / ".." / "share" / "lintaro" / kHelpFileName,
  };
  f.help_file = candidates[0].string();
  for (const auto& candidate : candidates) {
    if (IsFile(candidate)) {
      f.help_file = candidate.lexically_normal().string();
      break;
    }
  }

  if (FolderIsWritable(f.program)) {
    f.data = f.program;
    return f;
  }
  // A folder the user named is used as named: results never go elsewhere
  // without being asked for. Only the executable's own folder falls back.
  if (!home_option.empty() || !home_env.empty()) {
    f.data = f.program;
    std::error_code exists_ec;
    const std::string named = f.program.size() > 1 ? f.program.substr(0, f.program.size() - 1)
                                                   : f.program;
    f.problem = std::filesystem::is_directory(f.program, exists_ec)
                    ? "The program folder " + named + " cannot be written."
                    : "The program folder " + named + " does not exist.";
    return f;
  }
  f.per_user = true;
  if (!per_user_folder.empty()) {
    std::filesystem::create_directories(per_user_folder, ec);
    f.data = WithTrailingSeparator(per_user_folder);
    if (FolderIsWritable(f.data)) return f;
  }
  f.problem = "Neither the program folder " + f.program +
              " nor a per-user data folder can be written.";
  if (f.data.empty()) f.data = f.program;
  return f;
}

}  // namespace lintaro
