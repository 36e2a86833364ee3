#include "support/recipe.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "support/clean_records.h"
#include "support/fakes.h"

namespace lintaro::testing {
namespace {

[[noreturn]] void Fail(const std::string& problem) { throw std::invalid_argument(problem); }

// text without the leading characters that are in `chars`.
std::string_view SkipLeading(std::string_view text, std::string_view chars) {
  const size_t start = text.find_first_not_of(chars);
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

int Number(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0)
    Fail("not a number: " + std::string(text));
  return value;
}

// The length of the quoted text at the start of token, quotes included.
size_t QuotedLength(std::string_view token) {
  for (size_t i = 1; i < token.size(); ++i) {
    if (token[i] == '\\')
      ++i;
    else if (token[i] == '"')
      return i + 1;
  }
  Fail("a quote is not closed: " + std::string(token));
}

// The line's tokens, split at blanks outside quotes, up to a token that
// starts with "#"; the text after "#" goes to comment.
std::vector<std::string> Tokens(std::string_view line, std::string& comment) {
  std::vector<std::string> tokens;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return tokens;
    if (line[i] == '#') {
      comment = SkipLeading(line.substr(i + 1), " ");
      return tokens;
    }
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
      if (line[i] == '"')
        i += QuotedLength(line.substr(i));
      else
        i += line[i] == '\\' ? 2 : 1;
    }
    i = std::min(i, line.size());
    tokens.emplace_back(line.substr(start, i - start));
  }
}

// A money amount in dollars ("1200.00", "0.01", "97500"), as cents
// zero-filled to the width of the record type's money fields.
std::string Money(std::string_view amount, std::string_view id) {
  const int width = id == "RCW" || id == "RCO" ? 11 : id == "RCT" || id == "RCU" ? 15 : 0;
  if (width == 0) Fail("no money fields in " + std::string(id));
  const size_t point = amount.find('.');
  int64_t cents = static_cast<int64_t>(Number(amount.substr(0, point))) * 100;
  if (point != std::string_view::npos) {
    if (amount.size() - point != 3) Fail("cents need two digits: " + std::string(amount));
    cents += Number(amount.substr(point + 1));
  }
  std::string text = Cents(cents, width);
  if (static_cast<int>(text.size()) > width) Fail("too large: " + std::string(amount));
  return text;
}

std::string Value(std::string_view value, std::string_view id) {
  if (value.starts_with('$')) return Money(value.substr(1), id);
  if (!value.starts_with('"')) return Unescape(value);
  if (QuotedLength(value) != value.size()) Fail("text after a quote: " + std::string(value));
  return Unescape(value.substr(1, value.size() - 2));
}

// Builds the submissions line by line. A record is finished when the next
// line that is not its continuation arrives.
class RecipeReader {
 public:
  std::vector<Submission> Read(std::string_view recipe) {
    try {
      for (size_t at = 0; at <= recipe.size();) {
        const size_t end = std::min(recipe.find('\n', at), recipe.size());
        std::string_view line = recipe.substr(at, end - at);
        if (line.ends_with('\r')) line.remove_suffix(1);
        at = end + 1;
        ++line_;
        ReadLine(line);
      }
      FinishRecord();
    } catch (const std::invalid_argument& e) {
      Fail("line " + std::to_string(line_) + ": " + e.what());
    }
    return std::move(submissions_);
  }

 private:
  struct Pending {
    int line;
    std::string id;
    std::vector<std::string> tokens;
    std::string comment;
  };

  void ReadLine(std::string_view line) {
    if (line.starts_with("==")) {
      FinishRecord();
      submissions_.emplace_back();
      submissions_.back().title = SkipLeading(line, "= ");
      return StartSubmission();
    }
    std::string comment;
    std::vector<std::string> tokens = Tokens(line, comment);
    if (tokens.empty()) return;
    if (line[0] == ' ' || line[0] == '\t') {
      if (!pending_) Fail("a continuation line without a record");
      pending_->tokens.insert(pending_->tokens.end(), tokens.begin(), tokens.end());
      if (pending_->comment.empty()) pending_->comment = comment;
      return;
    }
    FinishRecord();
    if (submissions_.empty()) {
      submissions_.emplace_back();
      StartSubmission();
    }
    Directive(tokens, comment);
  }

  void StartSubmission() {
    submissions_.back().files.emplace_back();
    rcw_block_ = rco_block_ = rcw_all_ = 0;
  }

  void Directive(const std::vector<std::string>& tokens, const std::string& comment) {
    Submission& s = submissions_.back();
    const std::string& word = tokens[0];
    const bool one_argument = tokens.size() == 2;
    if (word == "limit" && one_argument) {
      s.max_errors = Number(tokens[1]);
    } else if (word == "date" && one_argument) {
      if (std::sscanf(tokens[1].c_str(), "%d-%d-%d", &s.today.year, &s.today.month, &s.today.day) !=
          3)
        Fail("a date is written YYYY-MM-DD");
    } else if (word == "raw" && one_argument) {
      s.files.back() += Value(tokens[1], "");
    } else if (word == "file" && tokens.size() == 1) {
      s.files.emplace_back();
    } else if (word == "limit" || word == "date" || word == "raw" || word == "file") {
      Fail(word + (word == "file" ? " takes nothing" : " takes one value"));
    } else if (word.size() > 3) {
      Fail("a record identifier has at most three characters: " + word);
    } else {
      pending_ = Pending{line_, word, {tokens.begin() + 1, tokens.end()}, comment};
    }
  }

  std::string CleanRecord(const std::string& id) const {
    if (id == "RCA") return CleanRCA();
    if (id == "RCE") return CleanRCE();
    if (id == "RCW") return CleanRCW();
    if (id == "RCO") return CleanRCO();
    if (id == "RCT") return CleanRCT(rcw_block_);
    if (id == "RCU") return CleanRCU(rco_block_);
    if (id == "RCF") return FinalRecord(rcw_all_);
    return MakeRecord(id);
  }

  // Builds the pending record. A mistake in it names the record's line.
  void FinishRecord() {
    if (!pending_) return;
    const int current_line = line_;
    line_ = pending_->line;
    std::string record = CleanRecord(pending_->id);
    for (const std::string& token : pending_->tokens) {
      const size_t equals = token.find('=');
      if (equals == std::string::npos) Fail("expected POSITION=VALUE: " + token);
      const std::string key = token.substr(0, equals);
      const std::string value = Value(std::string_view(token).substr(equals + 1), pending_->id);
      if (key == "length") {
        record.resize(static_cast<size_t>(Number(value)), ' ');
        continue;
      }
      const int position = Number(key);
      if (position < 1 || position - 1 + value.size() > record.size())
        Fail("outside the record: " + token);
      record.replace(static_cast<size_t>(position - 1), value.size(), value);
    }
    const std::string_view id = std::string_view(record).substr(0, 3);
    if (id == "RCE") rcw_block_ = rco_block_ = 0;
    if (id == "RCW") ++rcw_block_, ++rcw_all_;
    if (id == "RCO") ++rco_block_;
    Submission& s = submissions_.back();
    s.files.back() += record + "\r\n";
    s.records.push_back({record, pending_->comment});
    pending_.reset();
    line_ = current_line;
  }

  std::vector<Submission> submissions_;
  std::optional<Pending> pending_;
  int line_ = 0;  // the line being read
  int rcw_block_ = 0, rco_block_ = 0, rcw_all_ = 0;
};

}  // namespace

std::vector<Submission> ReadRecipe(std::string_view recipe) { return RecipeReader().Read(recipe); }

std::string Escape(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == ' ') {
      const size_t end = std::min(bytes.find_first_not_of(' ', i), bytes.size());
      if (end - i >= 8 || end == bytes.size())
        out += "\\s{" + std::to_string(end - i) + "}";
      else
        out.append(end - i, ' ');
      i = end;
      continue;
    }
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t' || c == '\r' || c == '\n') {
      out += c == '\t' ? "\\t" : c == '\r' ? "\\r" : "\\n";
    } else if (c < 32 || c >= 127) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    const char kind = ++i < text.size() ? text[i] : '\0';
    if (kind == '\\' || kind == '"') {
      out += kind;
    } else if (kind == 't' || kind == 'r' || kind == 'n') {
      out += kind == 't' ? '\t' : kind == 'r' ? '\r' : '\n';
    } else if (kind == 'x' && i + 2 < text.size() && std::isxdigit(text[i + 1]) &&
               std::isxdigit(text[i + 2])) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else if (kind == 's' && text.substr(i + 1).starts_with('{') &&
               text.find('}', i) != std::string_view::npos) {
      const size_t close = text.find('}', i);
      out.append(static_cast<size_t>(Number(text.substr(i + 2, close - i - 2))), ' ');
      i = close;
    } else {
      Fail("unknown escape in " + std::string(text));
    }
  }
  return out;
}

}  // namespace lintaro::testing
