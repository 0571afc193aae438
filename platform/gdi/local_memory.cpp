// The local heap. Blocks are kept in a registry by address, so freeing a pointer that is not a
// live block is refused instead of corrupting the heap.
#include "platform/gdi/local_memory.h"

#include <cstddef>
#include <memory>
#include <new>
#include <unordered_map>

#include "platform/gdi/gdi_debug.h"

namespace {

constexpr UINT kMaxBlockBytes = 256u << 20;

class LocalHeap {
  public:
    static LocalHeap& Get() {
        // Never destroyed: blocks freed from other static destructors at exit still find it.
        static LocalHeap* const heap = new LocalHeap();
        return *heap;
    }

    void* Allocate(std::size_t bytes, bool zeroed) {
        // A zero-byte request still gets a distinct block, as on the platform.
        const std::size_t size = bytes == 0 ? 1 : bytes;
        std::unique_ptr<std::byte[]> block(zeroed ? new (std::nothrow) std::byte[size]()
                                                  : new (std::nothrow) std::byte[size]);
        if (!block) {
            return nullptr;
        }
        void* address = block.get();
        blocks_.emplace(address, std::move(block));
        return address;
    }

    bool Free(void* address) { return blocks_.erase(address) == 1; }

    std::size_t LiveCount() const { return blocks_.size(); }

  private:
    std::unordered_map<void*, std::unique_ptr<std::byte[]>> blocks_;
};

}  // namespace

HLOCAL LocalAlloc(UINT flags, UINT bytes) {
    if ((flags & ~LMEM_ZEROINIT) != 0 || bytes > kMaxBlockBytes) {
        return nullptr;
    }
    return static_cast<HLOCAL>(LocalHeap::Get().Allocate(bytes, (flags & LMEM_ZEROINIT) != 0));
}

HLOCAL LocalFree(HLOCAL block) {
    if (block == nullptr) {
        return nullptr;
    }
    return LocalHeap::Get().Free(block) ? nullptr : block;
}

namespace platform {

std::size_t LiveLocalBlocks() {
    return LocalHeap::Get().LiveCount();
}

}  // namespace platform
