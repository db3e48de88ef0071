#include "lookup/candidate_list.h"

#include <cstring>
#include <utility>

namespace talvorine::lookup {

std::size_t CandidateList::size() const {
  return all_ ? main_->lines.size() + web_->lines.size() : picks_.size();
}

std::string_view CandidateList::line(std::size_t index) const {
  if (!all_) {
    return *picks_[index].line;
  }
  const std::size_t main_size = main_->lines.size();
  return index < main_size ? main_->lines[index] : web_->lines[index - main_size];
}

void CandidateList::ListAll(std::shared_ptr<const TableLines> main,
                            std::shared_ptr<const TableLines> web) {
  picks_.clear();
  main_ = std::move(main);
  web_ = std::move(web);
  all_ = true;
}

void CandidateList::Rebuild(std::shared_ptr<const TableLines> main,
                            std::shared_ptr<const TableLines> web, const StrokePrefix& prefix) {
  if (prefix.size() == 0) {
    ListAll(std::move(main), std::move(web));
    return;
  }
  picks_.clear();
  all_ = false;
  main_ = std::move(main);
  web_ = std::move(web);
  AppendMatches(*main_, prefix);
  AppendMatches(*web_, prefix);
}

void CandidateList::Filter(const StrokePrefix& prefix) {
  if (all_) {
    picks_.clear();
    all_ = false;
    AppendMatches(*main_, prefix);
    AppendMatches(*web_, prefix);
    return;
  }
  std::erase_if(picks_,
                [&prefix](const Pick& pick) { return !prefix.Matches(pick.head, *pick.line); });
}

void CandidateList::AppendMatches(const TableLines& table, const StrokePrefix& prefix) {
  const std::size_t count = table.lines.size();
  const LineHead* heads = table.heads.data();
  const std::string* lines = table.lines.data();
  if (prefix.size() == 0) {
    for (std::size_t i = 0; i < count; ++i) {
      picks_.push_back({heads[i], &lines[i]});
    }
    return;
  }
  // First the lines whose first byte is the prefix's, found by memchr in the compact array of
  // first bytes (an empty line has a 0 there)...
  const std::size_t start = picks_.size();
  const char* first_bytes = table.first_bytes.data();
  const char first = prefix.text().front();
  for (std::size_t from = 0; from < count;) {
    const void* hit = std::memchr(first_bytes + from, first, count - from);
    if (hit == nullptr) {
      break;
    }
    const auto i = static_cast<std::size_t>(static_cast<const char*>(hit) - first_bytes);
    picks_.push_back({0, &lines[i]});
    from = i + 1;
  }
  // ...then their heads, in a loop of its own: its loads do not wait on one another, so the
  // memory fetches of scattered heads overlap.
  auto kept = picks_.begin() + static_cast<std::ptrdiff_t>(start);
  for (auto pick = kept; pick != picks_.end(); ++pick) {
    const LineHead head = heads[pick->line - lines];
    if (prefix.Matches(head, *pick->line)) {
      *kept++ = {head, pick->line};
    }
  }
  picks_.erase(kept, picks_.end());
}

}  // namespace talvorine::lookup
