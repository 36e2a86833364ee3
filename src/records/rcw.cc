#include "records/record_types.h"

namespace lintaro {

// The rules of the RCW record are added with its layout.
void CheckCodeRCW(const std::string& txtline, CheckContext& ctx) {}

void FillRCWlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
