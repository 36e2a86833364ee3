// Paths as the program builds them: a folder and a file name in it.
#ifndef LINTARO_OS_PATH_H_
#define LINTARO_OS_PATH_H_

#include <string>

namespace lintaro {

// Joins a folder and a file name with one "/" between them; an empty folder
// gives the name alone.
inline std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace lintaro

#endif  // LINTARO_OS_PATH_H_
