// What a screen reader says of the record viewer's rows, beside their text:
// where each field lies in the record and whether it is in error, so that
// the light yellow of a field in error is never the only sign of it.
#ifndef LINTARO_BROWSE_VIEWER_ACCESS_H_
#define LINTARO_BROWSE_VIEWER_ACCESS_H_

#include <string>
#include <vector>

#include "browse/record_viewer.h"

namespace lintaro {

// For each row: "Positions 4 to 12" (the rows follow the record in order,
// each as long as its field), ", in error" after it for a marked row.
// Rows that do not add up to a whole record get no positions ("In error"
// alone, or nothing).
std::vector<std::string> ViewerRowDescriptions(const std::vector<ViewerRow>& rows);

}  // namespace lintaro

#endif  // LINTARO_BROWSE_VIEWER_ACCESS_H_
