#include "lookup/candidate_list.h"

#include <cstring>
#include <utility>

namespace talvorine::lookup {

std::size_t CandidateList::size() const {
  return all_ ? main_->size() + web_->size() : picks_.size();
}

std::string_view CandidateList::line(std::size_t index) const {
  if (!all_) {
    return LineOf(picks_[index]);
  }
  const std::size_t main_size = main_->size();
  return index < main_size ? main_->line(index) : web_->line(index - main_size);
}

void CandidateList::ListAll(std::shared_ptr<const TableLines> main,
                            std::shared_ptr<const TableLines> web) {
  picks_.clear();
  chunks_.clear();
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
  main_ = std::move(main);
  web_ = std::move(web);
  PickAll(prefix);
}

void CandidateList::Filter(const StrokePrefix& prefix) {
  if (all_) {
    PickAll(prefix);
    return;
  }
  if (prefix.HeadDecides()) {
    std::erase_if(picks_, [&prefix](const Pick& pick) { return !prefix.MatchesHead(pick.head); });
    return;
  }
  std::erase_if(picks_, [this, &prefix](const Pick& pick) {
    return !prefix.Matches(pick.head, LineOf(pick));
  });
}

void CandidateList::NumberChunks() {
  chunks_.clear();
  chunks_.reserve(main_->chunks.size() + web_->chunks.size());
  for (const TableLines* table : {main_.get(), web_.get()}) {
    for (const auto& chunk : table->chunks) {
      chunks_.push_back(chunk.get());
    }
  }
}

void CandidateList::PickAll(const StrokePrefix& prefix) {
  picks_.clear();
  all_ = false;
  NumberChunks();
  AppendMatches(*main_, 0, prefix);
  AppendMatches(*web_, main_->chunks.size(), prefix);
}

void CandidateList::AppendMatches(const TableLines& table, std::size_t first_chunk,
                                  const StrokePrefix& prefix) {
  for (std::size_t c = 0; c < table.chunks.size(); ++c) {
    const LineChunk& chunk = *table.chunks[c];
    const auto number = static_cast<std::uint32_t>(first_chunk + c);
    const std::size_t count = chunk.size();
    if (prefix.size() == 0) {
      for (std::size_t row = 0; row < count; ++row) {
        picks_.push_back({chunk.heads[row], number, static_cast<std::uint32_t>(row)});
      }
      continue;
    }
    // First the lines whose first byte is the prefix's, found by memchr in the compact array of
    // first bytes (an empty line has a 0 there)...
    const std::size_t start = picks_.size();
    const char* first_bytes = chunk.first_bytes.data();
    const char first = prefix.text().front();
    for (std::size_t from = 0; from < count;) {
      const void* hit = std::memchr(first_bytes + from, first, count - from);
      if (hit == nullptr) {
        break;
      }
      const auto row = static_cast<std::size_t>(static_cast<const char*>(hit) - first_bytes);
      picks_.push_back({0, number, static_cast<std::uint32_t>(row)});
      from = row + 1;
    }
    // ...then their heads, in a loop of its own: its loads do not wait on one another, so the
    // memory fetches of scattered heads overlap.
    const LineHead* heads = chunk.heads.data();
    auto kept = picks_.begin() + static_cast<std::ptrdiff_t>(start);
    for (auto pick = kept; pick != picks_.end(); ++pick) {
      const LineHead head = heads[pick->row];
      if (prefix.HeadDecides() ? prefix.MatchesHead(head)
                               : prefix.Matches(head, chunk.line(pick->row))) {
        *kept++ = {head, number, pick->row};
      }
    }
    picks_.erase(kept, picks_.end());
  }
}

}  // namespace talvorine::lookup
