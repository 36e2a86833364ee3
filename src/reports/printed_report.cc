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
  size_t n = 1;
  while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
  return n;
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

PrintedReport::PrintedReport(ReportPrinter& printer, std::string font_name, int font_size,
                             PrintState& state)
    : printer_(printer), font_name_(std::move(font_name)), font_size_(font_size), state_(state) {}

void PrintedReport::ApplyFont() { printer_.SetFont(font_name_, size_, bold_); }

void PrintedReport::SetSize(int size, bool bold) {
  size_ = size;
  bold_ = bold;
  ApplyFont();
}

double PrintedReport::LineHeight(std::string_view text) {
  return printer_.TextHeight(text.empty() ? std::string_view("A") : text);
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

void PrintedReport::PrintLine(double x, std::string_view text, bool boxed, std::string_view label) {
  if (state_.print_done) return;
  const double limit = printer_.PageHeight() - footer_height_;
  const double height = LineHeight(text);
  // Pages outside the range are laid out without printing.
  while (state_.page_number < state_.first_page || state_.page_number > state_.last_page) {
    if (state_.print_y + height <= limit) {
      state_.print_y += height;
      return;
    }
    ++state_.page_number;
    state_.print_y = 0;
  }
  if (state_.print_y + height > limit) {
    FinishPage();
    if (state_.print_done) return;
  }
  if (!label.empty()) printer_.DrawText(0, state_.print_y, label);
  printer_.DrawText(x, state_.print_y, text);
  if (boxed) {
    printer_.DrawRect(x - 0.1, state_.print_y - 0.1, x + printer_.TextWidth(text) + 0.05,
                      state_.print_y + printer_.TextHeight("A") + 0.02);
  }
  state_.print_y += height;
}

void PrintedReport::HeaderLine(double x, double dy, std::string_view text) {
  if (OnFirstPage()) printer_.DrawText(x, state_.print_y + dy, text);
}

void PrintedReport::Print(ResultsDb& db) { Layout(db, true); }

int PrintedReport::CountPages(ResultsDb& db) {
  state_.last_page = 0;
  const int lines = Layout(db, false);
  SetSize(font_size_, false);
  const int per_page =
      static_cast<int>(std::floor(printer_.PageHeight() / printer_.TextHeight("The Avarage Page")));
  state_.last_page = PageCountFor(lines, per_page);
  return state_.last_page;
}

int PrintedReport::Layout(ResultsDb& db, bool print) {
  state_.print_done = false;
  state_.page_number = 1;
  state_.print_y = 0;
  int line_count = 0;
  const double width = printer_.PageWidth();
  const ReportHeader header = ReadReportHeader(db);

  SetSize(font_size_, false);
  footer_height_ = printer_.TextHeight("Page: " + std::to_string(state_.page_number));

  // Title.
  const std::string title = ReportTitle();
  if (print) {
    SetSize(font_size_ + 4, true);
    HeaderLine(width / 2 - printer_.TextWidth(title) / 2, 0, title);
    state_.print_y = printer_.TextHeight(title);
    SetSize(font_size_, false);
  } else {
    line_count = 2;
  }

  // The tested files.
  const std::vector<std::string> source = WrapText(printer_, SourceLine(header.paths));
  const int k = static_cast<int>(source.size());
  if (print) {
    const double lh = printer_.TextHeight("Generated from");
    for (int i = 0; i < k; ++i) {
      const double x = k == 1 ? width / 2 - printer_.TextWidth(source[i]) / 2 : 0;
      HeaderLine(x, lh * (i + 1), source[i]);
    }
    state_.print_y += (k + 2) * lh;
  } else {
    line_count += k + 2;
  }

  // The date.
  if (print) {
    const double lh = LineHeight(header.date);
    HeaderLine(width / 2 - printer_.TextWidth(header.date) / 2, lh, header.date);
    state_.print_y += 3 * lh;
  } else {
    line_count += 3;
  }

  // Why testing stopped.
  const std::string termination =
      Cp1252ToUtf8(TerminationHeading(header) + TerminationMessage(header));
  if (print) {
    SetSize(font_size_, true);
    const std::vector<std::string> lines = WrapText(printer_, termination);
    const double lh = printer_.TextHeight("Critical Error");
    for (size_t i = 0; i < lines.size(); ++i) HeaderLine(0, lh * static_cast<double>(i), lines[i]);
    state_.print_y += static_cast<double>(lines.size()) * lh;
    SetSize(font_size_, false);
  } else {
    line_count += static_cast<int>(WrapText(printer_, termination).size());
  }

  // The counts, the first centred on its digits and the others below it.
  if (print) {
    const std::string c1 = CountLineTested(header.records_tested);
    const size_t digits = c1.find_first_not_of(' ');
    const std::string leading = c1.substr(0, digits);
    const std::string trimmed = c1.substr(digits);
    const double x = width / 2 - printer_.TextWidth(trimmed) / 2 - printer_.TextWidth(leading);
    const double lh = LineHeight(c1);
    HeaderLine(x, 0, c1);
    HeaderLine(x, lh, CountLineWithErrors(header.records_with_errors));
    HeaderLine(x, 2 * lh, StripCrLf(CountLineFound(header.errors)));
    state_.print_y += 4 * lh;
  } else {
    line_count += 4;
  }

  state_.print_y += 0.002;

  // The values start after the widest label and are wrapped to the page's
  // right edge from there: the printable width less 1.5 inches is not
  // enough when the labels take more than 1.5 inches (Courier 10 takes 2),
  // and a line would run off the paper.
  const double value_x = printer_.TextWidth("Error Description:  ");
  const double value_limit = std::min(printer_.PageWidth() - 1.5, printer_.PageWidth() - value_x);
  bool first = true;
  int64_t rec_num = 0;
  auto print_wrapped = [&](std::string_view label, const std::vector<std::string>& lines) {
    if (lines.empty()) {
      PrintLine(value_x, "", false, label);
      return;
    }
    for (size_t i = 0; i < lines.size(); ++i)
      PrintLine(value_x, lines[i], false, i == 0 ? label : std::string_view());
  };
  db.ForEachReportRow([&](const ReportRow& row) {
    if (first || row.rec_num != rec_num) {
      first = false;
      rec_num = row.rec_num;
      if (print) {
        PrintLine(0, "");
        // The heading is printed in a smaller font until it fits the page,
        // then the report's own size is taken up again.
        const std::string heading = StripCrLf(Cp1252ToUtf8(RecordHeading(row)));
        int size = font_size_;
        SetSize(size, true);
        while (size > 1 && printer_.TextWidth(heading) > width) SetSize(--size, true);
        PrintLine((width - printer_.TextWidth(heading)) / 2, heading, true);
        SetSize(font_size_, false);
      } else {
        line_count += 3;
      }
    }
    const std::vector<std::string> reference =
        WrapText(printer_, Cp1252ToUtf8(row.reference), value_limit);
    const std::vector<std::string> error = WrapText(printer_, Cp1252ToUtf8(row.error), value_limit);
    if (print) {
      PrintLine(value_x, std::to_string(row.err_num), false, "Err Num: ");
      print_wrapped("Reference: ", reference);
      PrintLine(value_x, Cp1252ToUtf8(row.user_entry), false, "User Entry: ");
      print_wrapped("Error Description: ", error);
      PrintLine(0, "");
    } else {
      // An empty value still takes its label's line.
      line_count += static_cast<int>(std::max<size_t>(reference.size(), 1)) +
                    static_cast<int>(std::max<size_t>(error.size(), 1)) + 3;
    }
    // Once the last page of the range is finished nothing more is drawn.
    return !(print && state_.print_done);
  });

  if (print && !state_.print_done) {
    if (state_.page_number >= state_.first_page && state_.page_number <= state_.last_page) Footer();
    printer_.EndDoc();
    state_.print_done = true;
  }
  return line_count;
}

}  // namespace lintaro
