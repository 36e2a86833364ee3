#include "records/record_types.h"

namespace lintaro {

// The rules of the RCA record are added with its layout.
void CheckCodeRCA(const std::string& txtline, CheckContext& ctx) {}

void FillRCAlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
