#include "records/record_types.h"

namespace lintaro {

// The rules of the RCE record are added with its layout.
void CheckCodeRCE(const std::string& txtline, CheckContext& ctx) {}

void FillRCElabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
