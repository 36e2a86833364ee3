#include "records/record_types.h"

namespace lintaro {

// The rules of the RCT record are added with its layout.
void CheckCodeRCT(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {}

void FillRCTlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
