// Memory a picture was through, kept for the next picture of its kind. Under Wine a fresh 4 KB
// page costs about 10 us the first time it is written: a camera picture's bytes, the pixels copied
// out for its shrink and its fitted copy, each in new memory, were a third of the first paint. One
// block of each kind is kept (the largest seen, up to kSpareCap); it is given back when memory is
// short (less physical memory available than MemoryPressureLimit: at a give-back and at the
// prefetch thread's memory check) and before an allocation is reported as failed.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

enum class SpareKind { kFittedCopy, kFittingSource, kCount };

// A 32-bit process keeps its address space for the pictures themselves.
constexpr size_t kSpareCap = sizeof(void*) == 4 ? (16u << 20) : (64u << 20);

// At least bytes of page-aligned memory: the kind's kept block when it is large enough and at most
// twice the size, else new (the kept one freed when larger); its size in *capacity. Null without
// memory.
void* TakeSpareMemory(SpareKind kind, size_t bytes, size_t* capacity);
// Memory from TakeSpareMemory, no longer used: kept when it is the larger, else freed.
void GiveBackSpareMemory(SpareKind kind, void* memory, size_t capacity);

// A block of exactly bytes (GlobalSize) for a file's bytes: the kept block, resized where it lies,
// when it can be and is at most twice the size; else new (AllocGlobal, GMEM_FIXED). Null without
// memory.
HGLOBAL TakeReadBlock(uint32_t bytes);
// Any fixed block the program let go of (a view level's bytes): kept when it is the larger, else
// freed.
void GiveBackReadBlock(HGLOBAL block);

// Other kept memory (the rows' picture store) to be given back with the rest: the function returns
// whether it gave back any.
void AddSpareMemoryReleaser(bool (*release)());
// Every kept block given back; true when there was any. Called when an allocation fails.
bool ReleaseSpareMemory();
// Whether memory is short now by the prefetch thread's rule.
bool MemoryIsShort();
// Bytes of the kept blocks (not the store's), for the benches.
uint64_t SpareMemoryBytes();
