#include "core/range_read.h"

#include <cstring>
#include <new>

#include "core/memory.h"
#include "core/pipeline_hooks.h"
#include "core/spare_memory.h"

namespace {

constexpr uint32_t kMrwType = 0x100;
// The first part is small, so that the decode starts at once; later parts keep the reads few.
constexpr DWORD kFirstPart = 64u << 10, kPart = 512u << 10;

// The file opened at the range's start, and the bytes of the range it holds (0 when the range
// does not lie inside it); INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenRange(const wchar_t* path, int32_t offset, int32_t size, DWORD* bytes) {
  *bytes = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  LARGE_INTEGER length{};
  if (GetFileSizeEx(file, &length)) {
    // A range from the start of the file names at most that many bytes: a smaller file is
    // read whole instead of failing as if it had vanished.
    if (offset == 0 && size > length.QuadPart) size = static_cast<int32_t>(length.QuadPart);
    if (size != 0) {
      if (static_cast<int64_t>(offset) + size <= length.QuadPart &&
          SetFilePointer(file, offset, nullptr, FILE_BEGIN) == static_cast<DWORD>(offset))
        *bytes = static_cast<DWORD>(size);
    } else if (length.QuadPart > 0 && length.QuadPart < 0xFFFFFFFFll) {
      *bytes = static_cast<DWORD>(length.QuadPart);
    }
  }
  return file;
}

void MarkMrwStart(void* bytes, uint32_t fileType, size_t count) {
  if (fileType != kMrwType || count < 2) return;
  static_cast<uint8_t*>(bytes)[0] = 0xFF;
  static_cast<uint8_t*>(bytes)[1] = 0xD8;
}

// Just after the file's metadata dump its head is still in hand: no second open and read.
HGLOBAL CopyOfRecentBytes(const wchar_t* path, uint32_t fileType, int32_t offset, int32_t size,
                          HGLOBAL (*newBlock)(uint32_t)) {
  const uint8_t* recent = g_pipelineHooks.takeRecentFileBytes(path, offset, size);
  if (!recent) return nullptr;
  HGLOBAL copy = newBlock(static_cast<uint32_t>(size));
  if (copy) {
    std::memcpy(copy, recent, static_cast<size_t>(size));
    MarkMrwStart(copy, fileType, static_cast<size_t>(size));
  }
  return copy;
}

HGLOBAL NewFixedBlock(uint32_t bytes) { return AllocGlobal(GMEM_FIXED, bytes); }

}  // namespace

HGLOBAL ReadPathRange(const wchar_t* path, uint32_t fileType, int32_t offset, int32_t size, uint32_t* bytesRead,
                      bool* outOfMemory) {
  if (bytesRead) *bytesRead = 0;
  if (outOfMemory) *outOfMemory = false;
  if (offset < 0 || size < 0) return nullptr;
  if (HGLOBAL copy = CopyOfRecentBytes(path, fileType, offset, size, NewFixedBlock)) {
    if (bytesRead) *bytesRead = static_cast<uint32_t>(size);
    return copy;
  }
  DWORD bytes = 0;
  HANDLE file = OpenRange(path, offset, size, &bytes);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  HGLOBAL block = nullptr;
  if (bytes != 0) {
    block = AllocGlobal(GMEM_FIXED, bytes);
    if (!block && outOfMemory) *outOfMemory = true;
  }
  if (block) {
    DWORD read = 0;
    if (!ReadFile(file, block, bytes, &read, nullptr) || read != bytes) {
      GlobalFree(block);
      block = nullptr;
    }
  }
  CloseHandle(file);
  if (block) MarkMrwStart(block, fileType, bytes);
  if (bytesRead) *bytesRead = block ? bytes : 0;
  return block;
}

// What the helper and the caller share; the last of the two to let go frees it.
struct RangeReader::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE arrived = CONDITION_VARIABLE_INIT;
  HANDLE file = INVALID_HANDLE_VALUE;
  uint8_t* bytes = nullptr;
  size_t size = 0;
  uint32_t fileType = 0;
  size_t done = 0;
  bool ended = false, whole = false;
  volatile LONG holders = 2;
};

void RangeReader::ReadParts(Shared* s) {
  size_t done = 0;
  DWORD part = kFirstPart;
  while (done < s->size) {
    const DWORD want = static_cast<DWORD>(s->size - done < part ? s->size - done : part);
    DWORD got = 0;
    if (!ReadFile(s->file, s->bytes + done, want, &got, nullptr) || got == 0) break;
    if (done == 0) MarkMrwStart(s->bytes, s->fileType, s->size);
    done += got;
    part = kPart;
    AcquireSRWLockExclusive(&s->lock);
    s->done = done;
    WakeAllConditionVariable(&s->arrived);
    ReleaseSRWLockExclusive(&s->lock);
  }
  CloseHandle(s->file);
  AcquireSRWLockExclusive(&s->lock);
  s->ended = true;
  s->whole = done == s->size;
  WakeAllConditionVariable(&s->arrived);
  ReleaseSRWLockExclusive(&s->lock);
  LetGo(s);  // nothing of it is touched after this
}

void CALLBACK RangeReader::ReadPartsInPool(PTP_CALLBACK_INSTANCE, void* shared) {
  ReadParts(static_cast<Shared*>(shared));
}

void RangeReader::LetGo(Shared* shared) {
  if (InterlockedDecrement(&shared->holders) == 0) delete shared;
}

RangeReader::~RangeReader() {
  if (shared_ || block_) GiveBackReadBlock(Finish());
}

bool RangeReader::Start(const wchar_t* path, uint32_t fileType, int32_t offset, int32_t size) {
  if (shared_ || block_ || offset < 0 || size < 0) return false;
  if ((block_ = CopyOfRecentBytes(path, fileType, offset, size, TakeReadBlock)) != nullptr) {
    bytes_ = static_cast<const uint8_t*>(static_cast<void*>(block_));
    size_ = static_cast<size_t>(size);
    return true;
  }
  DWORD bytes = 0;
  HANDLE file = OpenRange(path, offset, size, &bytes);
  if (file == INVALID_HANDLE_VALUE) return false;
  HGLOBAL block = bytes != 0 ? TakeReadBlock(bytes) : nullptr;
  shared_ = block ? new (std::nothrow) Shared : nullptr;
  if (!shared_) {
    CloseHandle(file);
    GiveBackReadBlock(block);
    return false;
  }
  block_ = block;
  bytes_ = static_cast<const uint8_t*>(static_cast<void*>(block));
  size_ = bytes;
  shared_->file = file;
  shared_->bytes = static_cast<uint8_t*>(static_cast<void*>(block));
  shared_->size = bytes;
  shared_->fileType = fileType;
  // Without a pool thread the caller reads it all first, as before.
  if (!TrySubmitThreadpoolCallback(ReadPartsInPool, shared_, nullptr)) ReadParts(shared_);
  return true;
}

size_t RangeReader::WaitFor(size_t count) {
  if (!shared_) return block_ ? size_ : 0;
  AcquireSRWLockExclusive(&shared_->lock);
  while (!shared_->ended && shared_->done < count)
    SleepConditionVariableSRW(&shared_->arrived, &shared_->lock, INFINITE, 0);
  const size_t there = shared_->done;
  ReleaseSRWLockExclusive(&shared_->lock);
  return there;
}

HGLOBAL RangeReader::Finish() {
  HGLOBAL block = block_;
  block_ = nullptr;
  bytes_ = nullptr;
  if (shared_) {
    AcquireSRWLockExclusive(&shared_->lock);
    while (!shared_->ended) SleepConditionVariableSRW(&shared_->arrived, &shared_->lock, INFINITE, 0);
    const bool whole = shared_->whole;
    ReleaseSRWLockExclusive(&shared_->lock);
    LetGo(shared_);
    shared_ = nullptr;
    if (!whole) {
      GiveBackReadBlock(block);
      block = nullptr;
    }
  }
  size_ = 0;
  return block;
}
