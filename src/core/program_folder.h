// Where the program keeps its files.
//
// The program folder is the one named by --home, else by LINTARO_HOME, else
// the folder of the executable. The results database, the error-limit
// setting and the temporary HTML report are written there. When the
// executable's folder cannot be written (an installed copy under /usr), they
// go to a per-user data folder instead, while the help file is still read
// from the installed folder. A named folder that cannot be written is not
// replaced: the problem says so.
#ifndef LINTARO_CORE_PROGRAM_FOLDER_H_
#define LINTARO_CORE_PROGRAM_FOLDER_H_

#include <string>

namespace lintaro {

// The help file, opened at its contents by Help > Contents.
inline constexpr const char* kHelpFileName = "Lintaro.hlp";

struct ProgramFolders {
  std::string program;   // the program folder, with one trailing "/"
  std::string data;      // where ERRLOG2C.MDB, ErrSetLog.ini, temphtm.HTM go; trailing "/"
  std::string help_file; // full name of Lintaro.hlp
  bool per_user = false; // data is the per-user folder
  std::string problem;   // set when no writable folder could be found
};

// home_option: --home (empty when not given); home_env: LINTARO_HOME (empty
// when unset); per_user_folder: the per-user data folder to fall back on.
// The help file is looked for in the program folder, then beside the
// executable, then in the installation's share/lintaro folder.
ProgramFolders ResolveProgramFolders(const std::string& executable_folder,
                                     const std::string& home_option,
                                     const std::string& home_env,
                                     const std::string& per_user_folder);

// The folder with exactly one trailing "/".
std::string WithTrailingSeparator(std::string folder);

// Whether files can be created in the folder.
bool FolderIsWritable(const std::string& folder);

}  // namespace lintaro

#endif  // LINTARO_CORE_PROGRAM_FOLDER_H_
