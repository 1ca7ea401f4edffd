#include "core/spare_memory.h"

#include "core/memory.h"
#include "core/srw_held.h"

namespace {

constexpr int kKinds = static_cast<int>(SpareKind::kCount);
constexpr int kMaxReleasers = 4;

struct Kept {
  void* memory = nullptr;
  size_t capacity = 0;
};

struct Spares {
  SRWLOCK lock = SRWLOCK_INIT;
  Kept kept[kKinds];
  HGLOBAL block = nullptr;
  bool (*releasers[kMaxReleasers])() = {};
  int releaserCount = 0;
};

Spares& TheSpares() {
  static Spares spares;
  return spares;
}

// Whole units of the address space's granularity: the rest of a reservation would go unused.
constexpr size_t kGranule = 64u << 10;

void* NewMemory(size_t capacity) {
  void* memory = VirtualAlloc(nullptr, capacity, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!memory && ReleaseSpareMemory()) memory = VirtualAlloc(nullptr, capacity, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  return memory;
}

void FreeMemory(void* memory) {
  if (memory) VirtualFree(memory, 0, MEM_RELEASE);
}

// A picture less than half the kept memory's size gets its own: a small one would hold a large
// one's memory (the fitted copies' budget counts the pixels, and a block shrunk where it lies may
// keep its pages), and the kept memory goes back.
bool TooLargeFor(size_t kept, size_t wanted) { return kept / 2 > wanted; }

bool IsFixedBlock(HGLOBAL block) {
  void* bytes = GlobalLock(block);
  if (bytes) GlobalUnlock(block);
  return bytes == static_cast<void*>(block);
}

}  // namespace

void* TakeSpareMemory(SpareKind kind, size_t bytes, size_t* capacity) {
  *capacity = 0;
  if (bytes == 0 || bytes > (~size_t{0} >> 1)) return nullptr;
  const size_t rounded = (bytes + kGranule - 1) & ~(kGranule - 1);
  Spares& s = TheSpares();
  void* tooLarge = nullptr;
  {
    SrwHeld held(&s.lock);
    Kept& k = s.kept[static_cast<int>(kind)];
    if (k.memory && k.capacity >= bytes) {
      if (!TooLargeFor(k.capacity, rounded)) {
        void* memory = k.memory;
        *capacity = k.capacity;
        k = Kept{};
        return memory;
      }
      tooLarge = k.memory;
      k = Kept{};
    }
  }
  FreeMemory(tooLarge);
  void* memory = NewMemory(rounded);
  if (memory) *capacity = rounded;
  return memory;
}

void GiveBackSpareMemory(SpareKind kind, void* memory, size_t capacity) {
  if (!memory) return;
  if (capacity > kSpareCap || MemoryIsShort()) {
    FreeMemory(memory);
    return;
  }
  Spares& s = TheSpares();
  void* freed = memory;
  {
    SrwHeld held(&s.lock);
    Kept& k = s.kept[static_cast<int>(kind)];
    if (!k.memory || k.capacity < capacity) {
      freed = k.memory;
      k.memory = memory;
      k.capacity = capacity;
    }
  }
  FreeMemory(freed);
}

HGLOBAL TakeReadBlock(uint32_t bytes) {
  if (bytes == 0) return nullptr;
  Spares& s = TheSpares();
  HGLOBAL kept;
  {
    SrwHeld held(&s.lock);
    kept = s.block;
    s.block = nullptr;
  }
  if (kept) {
    // Without GMEM_MOVEABLE a fixed block is resized only where it lies, its pages as they are.
    HGLOBAL resized = TooLargeFor(GlobalSize(kept), bytes) ? nullptr : GlobalReAlloc(kept, bytes, 0);
    if (resized) return resized;
    GlobalFree(kept);
  }
  return AllocGlobal(GMEM_FIXED, bytes);
}

void GiveBackReadBlock(HGLOBAL block) {
  if (!block) return;
  const SIZE_T size = GlobalSize(block);
  if (size == 0 || size > kSpareCap || !IsFixedBlock(block) || MemoryIsShort()) {
    GlobalFree(block);
    return;
  }
  Spares& s = TheSpares();
  HGLOBAL freed = block;
  {
    SrwHeld held(&s.lock);
    if (!s.block || GlobalSize(s.block) < size) {
      freed = s.block;
      s.block = block;
    }
  }
  if (freed) GlobalFree(freed);
}

void AddSpareMemoryReleaser(bool (*release)()) {
  Spares& s = TheSpares();
  SrwHeld held(&s.lock);
  for (int i = 0; i < s.releaserCount; ++i)
    if (s.releasers[i] == release) return;
  if (s.releaserCount < kMaxReleasers) s.releasers[s.releaserCount++] = release;
}

bool ReleaseSpareMemory() {
  Spares& s = TheSpares();
  Kept kept[kKinds];
  HGLOBAL block;
  bool (*releasers[kMaxReleasers])() = {};
  {
    SrwHeld held(&s.lock);
    for (int i = 0; i < kKinds; ++i) {
      kept[i] = s.kept[i];
      s.kept[i] = Kept{};
    }
    block = s.block;
    s.block = nullptr;
    for (int i = 0; i < s.releaserCount; ++i) releasers[i] = s.releasers[i];
  }
  bool any = block != nullptr;
  if (block) GlobalFree(block);
  for (Kept& k : kept) {
    any = any || k.memory;
    FreeMemory(k.memory);
  }
  for (auto release : releasers)
    if (release && release()) any = true;
  return any;
}

bool MemoryIsShort() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return g_memoryStatusFn(&status) && status.ullAvailPhys < MemoryPressureLimit;
}

uint64_t SpareMemoryBytes() {
  Spares& s = TheSpares();
  SrwHeld held(&s.lock);
  uint64_t bytes = s.block ? GlobalSize(s.block) : 0;
  for (const Kept& k : s.kept) bytes += k.capacity;
  return bytes;
}
