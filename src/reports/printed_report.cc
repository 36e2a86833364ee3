#include "reports/printed_report.h"

#include <algorithm>
#include <cmath>

#include "reports/report_content.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {

namespace {

// Length in bytes of the UTF-8 character starting at text[i].
size_t CharLength(std::string_view text, size_t i) {
  const size_t start = i;
  DecodeUtf8(text, i);
  return i - start;
}

std::string StripCrLf(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

}  // namespace

std::vector<std::string> WrapParagraph(ReportPrinter& printer, std::string_view text,
                                       double limit) {
  std::vector<std::string> lines;
  if (printer.TextWidth(text) <= limit) {
    lines.emplace_back(text);
    return lines;
  }
  std::string line;
  bool line_started = false;
  // A line too wide on its own is cut between characters: as many as fit,
  // at least one.
  auto cut_wide = [&] {
    while (printer.TextWidth(line) > limit) {
      size_t end = CharLength(line, 0);
      while (end < line.size()) {
        size_t next = end + CharLength(line, end);
        if (printer.TextWidth(std::string_view(line).substr(0, next)) > limit) break;
        end = next;
      }
      if (end >= line.size()) break;
      lines.push_back(line.substr(0, end));
      line.erase(0, end);
    }
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t space = text.find(' ', start);
    if (space == std::string_view::npos) space = text.size();
    std::string_view word = text.substr(start, space - start);
    start = space + 1;
    if (!line_started) {
      line.assign(word);
      line_started = true;
    } else {
      std::string candidate = line + " " + std::string(word);
      if (printer.TextWidth(candidate) <= limit) {
        line = std::move(candidate);
      } else {
        lines.push_back(line);
        line.assign(word);
      }
    }
    cut_wide();
  }
  if (line_started) lines.push_back(line);
  return lines;
}

std::vector<std::string> WrapText(ReportPrinter& printer, std::string_view text) {
  return WrapText(printer, text, printer.PageWidth() - 1.5);
}

std::vector<std::string> WrapText(ReportPrinter& printer, std::string_view text, double limit) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  while (true) {
    size_t lf = text.find('\n', start);
    std::string_view piece = text.substr(start, lf == std::string_view::npos ? lf : lf - start);
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    for (std::string& line : WrapParagraph(printer, piece, limit)) lines.push_back(std::move(line));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

int PageCountFor(int line_count, int lines_per_page) {
  if (lines_per_page < 1) lines_per_page = 1;
  const double l = line_count;
  const double p = lines_per_page;
  return static_cast<int>(std::fabs(std::floor(-((l / p + l) / p))));
}

namespace {

// Lays the report out into lines, measuring each in the font it is drawn in.
class LineBuilder {
 public:
  LineBuilder(ReportPrinter& printer, const std::string& font_name, int font_size)
      : printer_(printer), font_name_(font_name), font_size_(font_size) {}

  std::vector<PrintedLine> Build(ResultsDb& db);

 private:
  using Kind = PrintedLine::Kind;

  void SetFont(int size, bool bold) {
    size_ = size;
    bold_ = bold;
    printer_.SetFont(font_name_, size, bold);
  }
  void SetRegular() { SetFont(font_size_, false); }
  double LineHeight(std::string_view text) {
    return printer_.TextHeight(text.empty() ? std::string_view("A") : text);
  }
  PrintedLine& Add(Kind kind, double x, std::string text, double height, int counted = 1);
  // A blank line of the head, height inches high, counted as blank_lines
  // lines (the gap that ends the head counts as none).
  void AddSpace(double height, int blank_lines = 1) {
    Add(Kind::kSpace, 0, {}, height, blank_lines);
  }
  void AddBody(double x, std::string text, std::string label = {}) {
    const double height = LineHeight(text);
    Add(Kind::kText, x, std::move(text), height).label = std::move(label);
  }
  // A wrapped value at the value column, its label on the first line; an
  // empty value still takes its label's line.
  void AddWrapped(const std::string& label, const std::vector<std::string>& lines);

  void AddNotice(const ReportHeader& header);
  void AddTitle();
  void AddSource(const ReportHeader& header);
  void AddDate(const ReportHeader& header);
  void AddTermination(const ReportHeader& header);
  void AddCounts(const ReportHeader& header);
  void AddRecordHeading(const ReportRow& row);
  void AddFinding(const ReportRow& row);

  ReportPrinter& printer_;
  const std::string& font_name_;
  const int font_size_;
  int size_ = 0;
  bool bold_ = false;
  double width_ = 0;
  double value_x_ = 0;      // where the findings' values start
  double value_limit_ = 0;  // how wide they may be
  std::vector<PrintedLine> lines_;
};

PrintedLine& LineBuilder::Add(Kind kind, double x, std::string text, double height, int counted) {
  PrintedLine& line = lines_.emplace_back();
  line.kind = kind;
  line.x = x;
  line.text = std::move(text);
  line.size = size_;
  line.bold = bold_;
  line.height = height;
  line.counted = counted;
  return line;
}

std::vector<PrintedLine> LineBuilder::Build(ResultsDb& db) {
  width_ = printer_.PageWidth();
  const ReportHeader header = ReadReportHeader(db);
  AddNotice(header);
  AddTitle();
  AddSource(header);
  AddDate(header);
  AddTermination(header);
  AddCounts(header);
  AddSpace(0.002, 0);

  SetRegular();
  // The values start after the widest label and are wrapped to the page's
  // right edge from there: the printable width less 1.5 inches is not
  // enough when the labels take more than 1.5 inches (Courier 10 takes 2),
  // and a line would run off the paper.
  value_x_ = printer_.TextWidth("Error Description:  ");
  value_limit_ = std::min(width_ - 1.5, width_ - value_x_);
  RecordOpenings openings;
  db.ForEachReportRow([&](const ReportRow& row) {
    if (openings.Opens(row)) AddRecordHeading(row);
    AddFinding(row);
    return true;
  });
  return std::move(lines_);
}

// Results of a run that did not finish, or that found no record, are no
// verdict: the sentence that says so comes first, in bold, as it does in the
// text report.
void LineBuilder::AddNotice(const ReportHeader& header) {
  if (header.notice.empty()) return;
  SetFont(font_size_, true);
  const double height = LineHeight(header.notice);
  for (std::string& line : WrapText(printer_, header.notice))
    Add(Kind::kText, 0, std::move(line), height);
  AddSpace(height);
}

void LineBuilder::AddTitle() {
  const std::string title = ReportTitle();
  SetFont(font_size_ + 4, true);
  Add(Kind::kText, width_ / 2 - printer_.TextWidth(title) / 2, title, printer_.TextHeight(title),
      2);
}

// The tested files, a blank line above and below; centred when they take
// one line.
void LineBuilder::AddSource(const ReportHeader& header) {
  SetRegular();
  const std::vector<std::string> source = WrapText(printer_, SourceLine(header.paths));
  const double height = printer_.TextHeight("Generated from");
  AddSpace(height);
  for (const std::string& line : source) {
    const double x = source.size() == 1 ? width_ / 2 - printer_.TextWidth(line) / 2 : 0;
    Add(Kind::kText, x, line, height);
  }
  AddSpace(height);
}

// The date of the test, centred, a blank line above and below.
void LineBuilder::AddDate(const ReportHeader& header) {
  const double height = LineHeight(header.date);
  AddSpace(height);
  for (std::string& line : WrapParagraph(printer_, header.date, width_)) {
    const double x = width_ / 2 - printer_.TextWidth(line) / 2;
    Add(Kind::kText, x, std::move(line), height);
  }
  AddSpace(height);
}

// Why testing stopped, in bold (no line when it was not stopped).
void LineBuilder::AddTermination(const ReportHeader& header) {
  SetFont(font_size_, true);
  const std::string termination =
      Cp1252ToUtf8(TerminationHeading(header) + TerminationMessage(header));
  const double height = printer_.TextHeight("Critical Error");
  for (std::string& line : WrapText(printer_, termination))
    Add(Kind::kText, 0, std::move(line), height);
}

// The counts, the first centred on its digits and the others below it, and
// a blank line.
void LineBuilder::AddCounts(const ReportHeader& header) {
  SetRegular();
  const std::string tested = CountLineTested(header.records_tested);
  const size_t digits = tested.find_first_not_of(' ');
  const double x = width_ / 2 - printer_.TextWidth(tested.substr(digits)) / 2 -
                   printer_.TextWidth(tested.substr(0, digits));
  const double height = LineHeight(tested);
  Add(Kind::kText, x, tested, height);
  Add(Kind::kText, x, CountLineWithErrors(header.records_with_errors), height);
  Add(Kind::kText, x, StripCrLf(CountLineFound(header.errors)), height);
  AddSpace(height);
}

// A blank line, then the record's heading in bold in a box, in a smaller
// font until it fits the page.
void LineBuilder::AddRecordHeading(const ReportRow& row) {
  AddBody(0, "");
  std::string heading = StripCrLf(Cp1252ToUtf8(RecordHeading(row)));
  int size = font_size_;
  SetFont(size, true);
  while (size > 1 && printer_.TextWidth(heading) > width_) SetFont(--size, true);
  // A heading still too wide in the smallest size keeps the words that fit.
  if (printer_.TextWidth(heading) > width_) {
    heading = WrapParagraph(printer_, heading, width_)[0];
    heading.erase(heading.find_last_not_of(' ') + 1);
  }
  PrintedLine& line =
      Add(Kind::kText, (width_ - printer_.TextWidth(heading)) / 2, heading, LineHeight(heading), 2);
  line.boxed = true;
  SetRegular();
}

void LineBuilder::AddWrapped(const std::string& label, const std::vector<std::string>& lines) {
  if (lines.empty()) {
    AddBody(value_x_, "", label);
    return;
  }
  for (size_t i = 0; i < lines.size(); ++i) AddBody(value_x_, lines[i], i == 0 ? label : "");
}

// The finding's number, reference, user entry and message, each labelled,
// and a blank line.
void LineBuilder::AddFinding(const ReportRow& row) {
  AddBody(value_x_, std::to_string(row.err_num), "Err Num: ");
  AddWrapped("Reference: ", WrapText(printer_, Cp1252ToUtf8(row.reference), value_limit_));
  // The entry as stored, broken only where it would run past the page's edge.
  AddWrapped("User Entry: ", WrapParagraph(printer_, Cp1252ToUtf8(row.user_entry), value_limit_));
  AddWrapped("Error Description: ", WrapText(printer_, Cp1252ToUtf8(row.error), value_limit_));
  AddBody(0, "");
}

}  // namespace

PrintedReport::PrintedReport(ReportPrinter& printer, std::string font_name, int font_size,
                             PrintState& state)
    : printer_(printer), font_name_(std::move(font_name)), font_size_(font_size), state_(state) {}

std::vector<PrintedLine> PrintedReport::LayOut(ResultsDb& db) {
  std::vector<PrintedLine> lines = LineBuilder(printer_, font_name_, font_size_).Build(db);
  size_ = 0;  // the layout measured in other fonts: the next SetSize selects again
  return lines;
}

void PrintedReport::ResetPrintState() {
  state_.print_done = false;
  state_.page_number = 1;
  state_.print_y = 0;
}

void PrintedReport::ApplyFont() { printer_.SetFont(font_name_, size_, bold_); }

void PrintedReport::SetSize(int size, bool bold) {
  if (size == size_ && bold == bold_) return;
  size_ = size;
  bold_ = bold;
  ApplyFont();
}

void PrintedReport::Footer() {
  const std::string footer = "Page: " + std::to_string(state_.page_number);
  printer_.SetFont(font_name_, font_size_, false);
  printer_.DrawText((printer_.PageWidth() - printer_.TextWidth(footer)) / 2,
                    printer_.PageHeight() - printer_.TextHeight(footer), footer);
  ApplyFont();
}

void PrintedReport::FinishPage() {
  Footer();
  if (state_.page_number == state_.last_page) {
    printer_.EndDoc();
    state_.print_done = true;
  } else {
    printer_.NewPage();
    ++state_.page_number;
    state_.print_y = 0;
    ApplyFont();
  }
}

void PrintedReport::PrintLine(const PrintedLine& line) {
  if (state_.print_done) return;
  const double limit = printer_.PageHeight() - footer_height_;
  // Pages outside the range are laid out without printing.
  while (state_.page_number < state_.first_page || state_.page_number > state_.last_page) {
    if (state_.print_y + line.height <= limit) {
      state_.print_y += line.height;
      return;
    }
    ++state_.page_number;
    state_.print_y = 0;
  }
  if (state_.print_y + line.height > limit) {
    FinishPage();
    if (state_.print_done) return;
  }
  if (line.kind == PrintedLine::Kind::kSpace) {
    state_.print_y += line.height;
    return;
  }
  if (!line.label.empty()) printer_.DrawText(0, state_.print_y, line.label);
  printer_.DrawText(line.x, state_.print_y, line.text);
  if (line.boxed) {
    printer_.DrawRect(line.x - 0.1, state_.print_y - 0.1,
                      line.x + printer_.TextWidth(line.text) + 0.05,
                      state_.print_y + printer_.TextHeight("A") + 0.02);
  }
  state_.print_y += line.height;
}

void PrintedReport::Print(ResultsDb& db) {
  ResetPrintState();
  const std::vector<PrintedLine> lines = LayOut(db);
  SetSize(font_size_, false);
  footer_height_ = printer_.TextHeight("Page: " + std::to_string(state_.page_number));
  for (const PrintedLine& line : lines) {
    if (state_.print_done) return;  // the last page of the range is finished
    SetSize(line.size, line.bold);
    PrintLine(line);
  }
  if (state_.page_number >= state_.first_page && state_.page_number <= state_.last_page) Footer();
  printer_.EndDoc();
  state_.print_done = true;
}

int PrintedReport::CountPages(ResultsDb& db) {
  ResetPrintState();
  state_.last_page = 0;
  int line_count = 0;
  for (const PrintedLine& line : LayOut(db)) line_count += line.counted;
  SetSize(font_size_, false);
  const int per_page =
      static_cast<int>(std::floor(printer_.PageHeight() / printer_.TextHeight("The Avarage Page")));
  state_.last_page = PageCountFor(line_count, per_page);
  return state_.last_page;
}

}  // namespace lintaro
