// A table of objects addressed by (slot, generation) pairs. Freed slots are reused, and each reuse
// bumps the slot's generation, so a handle kept after its object was deleted no longer matches and
// is refused instead of reaching whatever now lives in the slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace platform::gdi_detail {

// How much of a handle the slot and the generation get. A handle is a pointer: with 64 bits the
// slot takes 24 and the generation a whole 32; with 32 (WebAssembly, and the pocket computer
// itself) the slot takes 16 and the generation the 12 left over after the object's kind, so a
// slot is reused 4096 times before an old handle to it could match again.
inline constexpr bool kWideHandles = sizeof(std::uintptr_t) == 8;
inline constexpr int kSlotBits = kWideHandles ? 24 : 16;
inline constexpr std::uint32_t kGenerationMask = kWideHandles ? 0xFFFFFFFFu : 0xFFFu;

struct SlotRef {
    std::uint32_t index = 0;
    std::uint32_t generation = 0;
};

// `SlotBits` is the handle's; tests give a table a few bits to fill it.
template <class T, int SlotBits = kSlotBits>
class HandleTable {
  public:
    // Slots beyond this cannot be encoded in a handle (slot + 1 must fit); Insert then fails.
    static constexpr std::uint32_t kMaxSlots = (1u << SlotBits) - 1;

    std::optional<SlotRef> Insert(T value) {
        std::uint32_t index = 0;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= kMaxSlots) {
                return std::nullopt;
            }
            index = static_cast<std::uint32_t>(slots_.size());
            slots_.emplace_back();
        }
        Slot& slot = slots_[index];
        slot.object.emplace(std::move(value));
        ++live_;
        return SlotRef{index, slot.generation};
    }

    T* Find(SlotRef ref) {
        if (ref.index >= slots_.size()) {
            return nullptr;
        }
        Slot& slot = slots_[ref.index];
        if (slot.generation != ref.generation || !slot.object) {
            return nullptr;
        }
        return &*slot.object;
    }

    bool Erase(SlotRef ref) {
        if (Find(ref) == nullptr) {
            return false;
        }
        Slot& slot = slots_[ref.index];
        slot.object.reset();
        // Generations run 1..kGenerationMask and round again.
        slot.generation = slot.generation >= kGenerationMask ? 1 : slot.generation + 1;
        free_.push_back(ref.index);
        --live_;
        return true;
    }

    std::size_t LiveCount() const { return live_; }

  private:
    struct Slot {
        std::uint32_t generation = 1;
        std::optional<T> object;
    };
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
    std::size_t live_ = 0;
};

}  // namespace platform::gdi_detail
