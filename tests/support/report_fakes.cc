#include "support/report_fakes.h"

namespace lintaro::testing {

void FakePrinter::SetFont(const std::string& name, int size, bool b) {
  font_name = name;
  font_size = size;
  bold = b;
}

double FakePrinter::TextWidth(std::string_view text) {
  size_t chars = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++chars;
  return static_cast<double>(chars) * font_size / 80.0;
}

double FakePrinter::TextHeight(std::string_view) { return font_size / 40.0; }

FakePrinter::Page& FakePrinter::Current() {
  if (!started_) {
    started_ = true;
    pages.clear();
    pages.emplace_back();
  }
  return pages.back();
}

void FakePrinter::DrawText(double x, double y, std::string_view text) {
  Current().texts.push_back({x, y, std::string(text), font_size, bold});
}

void FakePrinter::DrawRect(double left, double top, double right, double bottom) {
  Current().rects.push_back({left, top, right, bottom});
}

void FakePrinter::NewPage() {
  Current();
  ++new_pages;
  pages.emplace_back();
}

void FakePrinter::EndDoc() {
  ++jobs_ended;
  if (!started_) pages.clear();
  finished_jobs.push_back(pages);
  started_ = false;
}

std::vector<std::string> FakePrinter::TextsOf(const Page& page) {
  std::vector<std::string> texts;
  for (const Text& t : page.texts) texts.push_back(t.text);
  return texts;
}

bool FakePrintDialogHost::Run(PrintDialog& dialog) {
  seen_min = dialog.Min();
  seen_max = dialog.Max();
  seen_from = dialog.FromPage();
  seen_to = dialog.ToPage();
  seen_flags = dialog.flags;
  if (!confirm) return false;
  if (page_range) {
    dialog.flags |= kPdPageNums;
    dialog.SetFromPage(page_range->first);
    dialog.SetToPage(page_range->second);
  }
  dialog.copies = copies;
  return true;
}

}  // namespace lintaro::testing
