#include "records/record_types.h"

namespace lintaro {

// The rules of the RCF record are added with its layout.
void CheckCodeRCF(const std::string& txtline, CheckContext& ctx) {}

void FillRCFlabels(const std::string& txtline, ViewerRows& rows) {}

}  // namespace lintaro
