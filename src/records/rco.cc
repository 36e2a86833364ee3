#include "records/record_types.h"

namespace lintaro {

// The rules of the RCO record are added with its layout.
void CheckCodeRCO(const std::string& txtline, CheckContext& ctx) {}

void FillRCOlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
