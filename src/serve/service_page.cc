#include "serve/service_page.h"

namespace lintaro {

const PageFile* FindPageFile(std::string_view address) {
  for (const PageFile& file : PageFiles())
    if (address == file.address) return &file;
  return nullptr;
}

}  // namespace lintaro
