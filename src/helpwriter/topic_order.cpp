#include "helpwriter/topic_order.h"

#include <algorithm>
#include <iterator>

#include "runtime/text.h"

namespace quillark {

namespace {

using Candidate = std::pair<std::int32_t, int>;

bool IsBelow(const Candidate& candidate, std::int32_t abs_line) {
  return candidate.first < abs_line;
}

bool IsAbove(std::int32_t abs_line, const Candidate& candidate) {
  return abs_line < candidate.first;
}

// The rows of sorted (AbsLine, row) pairs that a positional walk visits: the
// first of every AbsLine.
std::vector<int> FirstOfEachLine(const std::vector<Candidate>& sorted) {
  std::vector<int> rows;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    if (i > 0 && sorted[i].first == sorted[i - 1].first) continue;
    rows.push_back(sorted[i].second);
  }
  return rows;
}

// The header and footer rule: never on popups, and with the omit-first-page
// option not on a topic without a previous one.
bool CarriesPageText(const WriterState& writer, const TopicPlace& place, bool is_popup) {
  if (is_popup) return false;
  return !writer.omit_first_page || place.previous > 0;
}

}  // namespace

void TopicOrder::Build(const TopicTable& topics) {
  candidates_.clear();
  for (int row = 1; row <= topics.Count(); ++row) {
    const TopicRecord& record = topics.At(row);
    if (!record.is_popup) candidates_.emplace_back(record.abs_line, row);
  }
  std::sort(candidates_.begin(), candidates_.end());
  walk_ = FirstOfEachLine(candidates_);
  ordinal_of_.clear();
  for (std::size_t i = 0; i < walk_.size(); ++i) {
    // Names compare case-insensitively; the first topic of a name counts.
    ordinal_of_.try_emplace(runtime::UpperAscii(topics.At(walk_[i]).name), static_cast<int>(i) + 1);
  }
  version_ = topics.version();
  built_ = true;
}

int TopicOrder::Previous(std::int32_t abs_line) const {
  auto it = std::lower_bound(candidates_.begin(), candidates_.end(), abs_line, IsBelow);
  if (it == candidates_.begin()) return kNotFound;
  const std::int32_t before = std::prev(it)->first;
  return std::lower_bound(candidates_.begin(), candidates_.end(), before, IsBelow)->second;
}

int TopicOrder::Next(std::int32_t abs_line) const {
  auto it = std::upper_bound(candidates_.begin(), candidates_.end(), abs_line, IsAbove);
  if (it == candidates_.end()) return kNotFound;
  return it->second;
}

int TopicOrder::Ordinal(std::string_view title) const {
  const std::string target = runtime::SanitizeIdent(runtime::UpperAscii(title));
  const auto it = ordinal_of_.find(target);
  return it == ordinal_of_.end() ? static_cast<int>(walk_.size()) + 1 : it->second;
}

TopicPlace LocateTopic(const TopicOrder& order, const TopicTable& topics,
                       std::string_view topic_key, std::string_view topic_title) {
  TopicPlace place;
  place.row = topics.FindByName(topic_key);
  if (place.row > 0) {
    const std::int32_t abs_line = topics.At(place.row).abs_line;
    place.previous = order.Previous(abs_line);
    place.next = order.Next(abs_line);
  }
  place.ordinal = order.Ordinal(topic_title);
  return place;
}

std::vector<int> SourceOrderRows(const TopicTable& topics) {
  std::vector<Candidate> all;
  for (int row = 1; row <= topics.Count(); ++row) all.emplace_back(topics.At(row).abs_line, row);
  std::sort(all.begin(), all.end());
  return FirstOfEachLine(all);
}

std::string PageHeaderText(const WriterState& writer, const TopicPlace& place, bool is_popup) {
  if (!CarriesPageText(writer, place, is_popup)) return {};
  return HeaderWithPage(writer, std::to_string(place.ordinal));
}

std::string PageFooterText(const WriterState& writer, const TopicPlace& place, bool is_popup) {
  if (!CarriesPageText(writer, place, is_popup)) return {};
  return FooterWithPage(writer, std::to_string(place.ordinal));
}

}  // namespace quillark
