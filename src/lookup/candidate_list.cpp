#include "lookup/candidate_list.h"

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
  for (std::size_t i = 0; i < count; ++i) {
    if (prefix.Matches(heads[i], lines[i])) {
      picks_.push_back({heads[i], &lines[i]});
    }
  }
}

}  // namespace talvorine::lookup
