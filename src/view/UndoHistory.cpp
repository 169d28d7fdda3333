#include "view/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace pelagor {

namespace {

// Equal runs shorter than this inside a change are stored with it: a span
// costs about as much as this many bytes.
constexpr size_t kJoinGap = 16;

}  // namespace

void UndoHistory::Reset(std::vector<uint8_t> state, const SatCatalogue& catalogue, bool saved) {
  current_ = std::move(state);
  catalogue_ = catalogue;
  steps_.clear();
  position_ = 0;
  saved_ = saved ? 0 : -1;
  stepBytes_ = 0;
}

bool UndoHistory::SameCatalogue(const SatCatalogue& a, const SatCatalogue& b) {
  return a.Present() == b.Present() && a.count == b.count && a.entries == b.entries;
}

size_t UndoHistory::CatalogueBytes(const SatCatalogue& c) {
  size_t n = sizeof(SatCatalogue);
  for (const CatalogueEntry& e : c.entries) n += e.tps.capacity() * sizeof(CatalogueTp);
  return n;
}

bool UndoHistory::Commit(const std::vector<uint8_t>& state, const SatCatalogue& catalogue) {
  Step step;
  step.oldSize = current_.size();
  step.newSize = state.size();
  const size_t n = std::max(step.oldSize, step.newSize);
  auto at = [](const std::vector<uint8_t>& v, size_t i) -> uint8_t { return i < v.size() ? v[i] : 0; };
  const size_t common = std::min(step.oldSize, step.newSize);
  auto differs = [&](size_t j) { return at(current_, j) != at(state, j); };
  constexpr size_t kBlock = 64;
  size_t i = 0;
  while (i < n) {
    if (i + kBlock <= common && std::memcmp(current_.data() + i, state.data() + i, kBlock) == 0) {
      i += kBlock;
      continue;
    }
    if (!differs(i)) {
      ++i;
      continue;
    }
    // A change starts at i; it ends where kJoinGap equal bytes follow.
    const size_t start = i;
    size_t end = i + 1;
    for (size_t j = end, equal = 0; j < n && equal < kJoinGap; ++j) {
      if (differs(j)) {
        equal = 0;
        end = j + 1;
      } else {
        ++equal;
      }
    }
    step.spans.push_back({uint32_t(start), uint32_t(end - start)});
    for (size_t j = start; j < end; ++j) step.xorBytes.push_back(uint8_t(at(current_, j) ^ at(state, j)));
    i = end;
  }
  const bool catalogueChanged = !SameCatalogue(catalogue_, catalogue);
  if (step.spans.empty() && !catalogueChanged && step.oldSize == step.newSize) return false;

  if (catalogueChanged) step.otherCatalogue = std::make_unique<SatCatalogue>(catalogue_);
  step.spans.shrink_to_fit();
  step.xorBytes.shrink_to_fit();
  step.bytes = sizeof(Step) + step.spans.size() * sizeof(Span) + step.xorBytes.size() +
               (step.otherCatalogue ? CatalogueBytes(*step.otherCatalogue) : 0);

  // A new edit ends the redo branch (and with it a saved state on it).
  while (steps_.size() > position_) {
    stepBytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (saved_ > std::ptrdiff_t(position_)) saved_ = -1;
  current_ = state;
  if (catalogueChanged) catalogue_ = catalogue;
  stepBytes_ += step.bytes;
  steps_.push_back(std::move(step));
  position_ = steps_.size();
  Trim();
  return true;
}

void UndoHistory::Trim() {
  size_t drop = 0;
  size_t bytes = stepBytes_ + current_.size() + CatalogueBytes(catalogue_);
  // Keep the newest step even when it alone is over the budget.
  while (steps_.size() - drop > 1 && (steps_.size() - drop > maxLevels_ || bytes > maxBytes_)) {
    bytes -= steps_[drop].bytes;
    stepBytes_ -= steps_[drop].bytes;
    ++drop;
  }
  if (drop == 0) return;
  steps_.erase(steps_.begin(), steps_.begin() + std::ptrdiff_t(drop));
  position_ -= drop;
  if (saved_ >= 0) saved_ = saved_ >= std::ptrdiff_t(drop) ? saved_ - std::ptrdiff_t(drop) : -1;
}

void UndoHistory::Apply(Step& step, size_t targetSize) {
  current_.resize(std::max(step.oldSize, step.newSize), 0);
  size_t k = 0;
  for (const Span& s : step.spans) {
    for (uint32_t j = 0; j < s.length; ++j) current_[s.offset + j] ^= step.xorBytes[k++];
  }
  current_.resize(targetSize);
  if (step.otherCatalogue) std::swap(catalogue_, *step.otherCatalogue);
}

bool UndoHistory::Undo() {
  if (!CanUndo()) return false;
  Step& step = steps_[--position_];
  Apply(step, step.oldSize);
  return true;
}

bool UndoHistory::Redo() {
  if (!CanRedo()) return false;
  Step& step = steps_[position_++];
  Apply(step, step.newSize);
  return true;
}

size_t UndoHistory::MemoryBytes() const {
  return stepBytes_ + current_.capacity() + CatalogueBytes(catalogue_) + sizeof(*this);
}

}  // namespace pelagor
