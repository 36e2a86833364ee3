// Where the program keeps its files.
//
// The program folder is the one named by --home, else by LINTARO_HOME, or else
// the folder of the executable. The results database, the error-limit setting
// and the temporary HTML report are written there, with two exceptions that
// send them to the per-user data folder instead: an installed copy (see
// IsInstalledCopy) always uses it, whether or not its bin/ can be written, so
// that employees' SSNs never land beside the programs; and a copy whose own
// folder cannot be written, or may be written by others, falls back on it.
// --home and LINTARO_HOME win over both, and a named folder that cannot be
// written, or that others may write in, is not replaced: the problem says
// so. The help file is still read from the installed folder.
#ifndef LINTARO_OS_PROGRAM_FOLDER_H_
#define LINTARO_OS_PROGRAM_FOLDER_H_

#include <string>

namespace lintaro {

// The help file, opened at its contents by Help > Contents.
inline constexpr const char* kHelpFileName = "Lintaro.hlp";

struct ProgramFolders {
  std::string program;    // the program folder, with one trailing "/"
  std::string data;       // where ERRLOG2C.MDB, ErrSetLog.ini, temphtm.HTM go; trailing "/"
  std::string help_file;  // full name of Lintaro.hlp
  bool per_user = false;  // data is the per-user folder
  std::string problem;    // set when no writable folder could be found
};

// home_option: --home (empty when not given); home_env: LINTARO_HOME (empty
// when unset); per_user_folder: the per-user data folder (PerUserDataFolder()),
// created when it is used. The help file is looked for in the program
// folder, then beside the executable, then in the installation's
// share/lintaro folder.
ProgramFolders ResolveProgramFolders(const std::string& executable_folder,
                                     const std::string& home_option, const std::string& home_env,
                                     const std::string& per_user_folder);

// Whether the executable folder is that of an installed copy
// (`cmake --install` or the packages): a folder named "bin" with the folder
// ../share/lintaro (the help file, or lintaro-cli's samples when it is
// installed alone) and no help file beside the executable. A build folder
// has the help file beside the programs and is not named bin; a copy set up
// by hand with the help file beside it keeps the program-folder rule.
bool IsInstalledCopy(const std::string& executable_folder);

// The per-user data folder "<data home>/Lintaro": the data home is
// xdg_data_home when it is an absolute path, else home + "/.local/share".
// Either argument may be null or empty; empty when neither gives a folder.
std::string PerUserDataFolder(const char* xdg_data_home, const char* home);

// The same from XDG_DATA_HOME and HOME, or the user's home folder in the
// password database when HOME is unset.
std::string PerUserDataFolder();

// The folder with exactly one trailing "/".
std::string WithTrailingSeparator(std::string folder);

// Whether files can be created in the folder.
bool FolderIsWritable(const std::string& folder);

// Whether users other than its owner and group may write in the folder.
// Such a folder never holds results: it is refused when it is named, and
// the executable's own folder falls back on the per-user folder.
bool OthersMayWriteIn(const std::string& folder);

// Whether the folder's group may write in it: a folder its members share.
bool GroupMayWriteIn(const std::string& folder);

// Gives the open file fd, new in folder, the folder's group, as a folder
// with the set-group-ID bit would: in one without it the file has its
// maker's own group, which the other members of the folder's may not be in.
// Set before the file's mode, which a change of group may narrow.
void GiveFolderGroup(int fd, const std::string& folder);

}  // namespace lintaro

#endif  // LINTARO_OS_PROGRAM_FOLDER_H_
