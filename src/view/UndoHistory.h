#pragma once
// Undo and redo of workspace edits. The history keeps one full copy of the
// current state and, per step, only what the step changed: the XOR of the
// changed byte spans (so one buffer serves both directions) and, when the
// catalogue changed, the catalogue of the other side of the step.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "db/SatCatalogue.h"

namespace pelagor {

class UndoHistory {
 public:
  static constexpr size_t kDefaultLevels = 100;
  static constexpr size_t kDefaultBudget = size_t(64) << 20;

  explicit UndoHistory(size_t maxLevels = kDefaultLevels, size_t maxBytes = kDefaultBudget)
      : maxLevels_(maxLevels), maxBytes_(maxBytes) {}

  // Forget every step; state is the current one. saved: it matches the file.
  void Reset(std::vector<uint8_t> state, const SatCatalogue& catalogue, bool saved);
  // Records the step from the current state to this one. Any redo steps go.
  // False when nothing changed (no step is recorded).
  [[nodiscard]] bool Commit(const std::vector<uint8_t>& state, const SatCatalogue& catalogue);

  [[nodiscard]] bool CanUndo() const { return position_ > 0; }
  [[nodiscard]] bool CanRedo() const { return position_ < steps_.size(); }
  // Step back or forward; State() and Catalogue() then hold the state to show.
  [[nodiscard]] bool Undo();
  [[nodiscard]] bool Redo();
  [[nodiscard]] const std::vector<uint8_t>& State() const { return current_; }
  [[nodiscard]] const SatCatalogue& Catalogue() const { return catalogue_; }

  // The current state has been written to the file.
  void MarkSaved() { saved_ = std::ptrdiff_t(position_); }
  [[nodiscard]] bool AtSaved() const { return saved_ == std::ptrdiff_t(position_); }

  [[nodiscard]] size_t Levels() const { return steps_.size(); }
  [[nodiscard]] size_t UndoLevels() const { return position_; }
  // Bytes held by the steps (the current copy not counted).
  [[nodiscard]] size_t StepBytes() const { return stepBytes_; }
  // Everything: steps and the current copy.
  [[nodiscard]] size_t MemoryBytes() const;

 private:
  struct Span {
    uint32_t offset;
    uint32_t length;
  };
  struct Step {
    size_t oldSize = 0;
    size_t newSize = 0;
    std::vector<Span> spans;
    std::vector<uint8_t> xorBytes;
    std::unique_ptr<SatCatalogue> otherCatalogue;  // the catalogue across the step
    size_t bytes = 0;
  };
  void Apply(Step& step, size_t targetSize);
  [[nodiscard]] static size_t CatalogueBytes(const SatCatalogue& c);
  [[nodiscard]] static bool SameCatalogue(const SatCatalogue& a, const SatCatalogue& b);
  void Trim();

  size_t maxLevels_;
  size_t maxBytes_;
  std::vector<uint8_t> current_;
  SatCatalogue catalogue_;
  std::vector<Step> steps_;
  size_t position_ = 0;       // steps applied
  std::ptrdiff_t saved_ = 0;  // position of the saved state, -1: unreachable
  size_t stepBytes_ = 0;
};

}  // namespace pelagor
