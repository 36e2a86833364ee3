#include "records/record_types.h"

namespace lintaro {

// The rules of the RCU record are added with its layout.
void CheckCodeRCU(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {}

void FillRCUlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
