#include "platform/platform_print.h"

namespace lintaro {

void PrintDialog::SetMin(int v) {
  if (v < 0) v = 0;
  min_ = v;
  if (v > from_) from_ = v;
  if (v > to_) to_ = v;
  if (v > max_) max_ = v;
}

void PrintDialog::SetFromPage(int v) {
  if (v < 0) v = 0;
  from_ = v;
  if (v > to_) to_ = v;
  if (v > max_) max_ = v;
  if (v < min_) min_ = v;
}

void PrintDialog::SetToPage(int v) {
  if (v < 0) v = 0;
  to_ = v;
  if (v > max_) max_ = v;
  if (v < from_) from_ = v;
  if (v < min_) min_ = v;
}

void PrintDialog::SetMax(int v) {
  if (v < 0) v = 0;
  max_ = v;
  if (v < to_) to_ = v;
  if (v < from_) from_ = v;
  if (v < min_) min_ = v;
}

bool PrintDialog::ShowPrinter(PrintDialogHost& host) {
  if (host.Run(*this)) return true;
  if (cancel_error) throw PrintDialogCancelled();
  return false;
}

}  // namespace lintaro
