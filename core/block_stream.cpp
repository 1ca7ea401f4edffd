// A read-only stream over a memory block, for the picture decoders.
//
// Camera files are often cut short: a JPEG segment's length may run past the end of the block,
// and the decoder then seeks beyond the end before it reads again. Wine's own stream over an
// HGLOBAL computes the bytes left as (size - position) unsigned and reads far past the block
// in that case; this stream answers such a read with no bytes, as a stream must.
#include "core/block_stream.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace brn {
namespace {

// The block and its size, shared by a stream and its clones.
struct SharedBlock {
  volatile LONG refs = 1;
  HGLOBAL block = nullptr;
  const uint8_t* bytes = nullptr;
  uint64_t size = 0;
  bool freeOnRelease = false;

  void AddRef() { InterlockedIncrement(&refs); }
  void Release() {
    if (InterlockedDecrement(&refs) != 0) return;
    GlobalUnlock(block);
    if (freeOnRelease) GlobalFree(block);
    delete this;
  }
};

class BlockStream final : public IStream {
 public:
  explicit BlockStream(SharedBlock* shared) : shared_(shared) { InitializeCriticalSection(&lock_); }
  ~BlockStream() {
    shared_->Release();
    DeleteCriticalSection(&lock_);
  }
  BlockStream(const BlockStream&) = delete;
  BlockStream& operator=(const BlockStream&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE Read(void* out, ULONG wanted, ULONG* got) override {
    if (!out && wanted) return STG_E_INVALIDPOINTER;
    EnterCriticalSection(&lock_);
    ULONG n = 0;
    if (position_ < shared_->size) {
      const uint64_t left = shared_->size - position_;
      n = left < wanted ? static_cast<ULONG>(left) : wanted;
      std::memcpy(out, shared_->bytes + position_, n);
      position_ += n;
    }
    LeaveCriticalSection(&lock_);
    if (got) *got = n;
    // A short read is still a success, as the system's memory streams answer it.
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override {
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override {
    EnterCriticalSection(&lock_);
    int64_t base;
    switch (origin) {
      case STREAM_SEEK_SET:
        base = 0;
        break;
      case STREAM_SEEK_CUR:
        base = static_cast<int64_t>(position_);
        break;
      case STREAM_SEEK_END:
        base = static_cast<int64_t>(shared_->size);
        break;
      default:
        LeaveCriticalSection(&lock_);
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT result = S_OK;
    // Past the end is allowed (a read there gives nothing); before the start is not.
    if ((move.QuadPart < 0 && -move.QuadPart > base) ||
        (move.QuadPart > 0 && move.QuadPart > INT64_MAX - base)) {
      result = STG_E_INVALIDFUNCTION;
    } else {
      position_ = static_cast<uint64_t>(base + move.QuadPart);
    }
    if (at) at->QuadPart = position_;
    LeaveCriticalSection(&lock_);
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override {
    if (!to) return STG_E_INVALIDPOINTER;
    uint64_t done = 0, put = 0;
    HRESULT result = S_OK;
    uint8_t chunk[4096];
    while (done < count.QuadPart) {
      const uint64_t want = count.QuadPart - done;
      ULONG got = 0;
      Read(chunk, want < sizeof chunk ? static_cast<ULONG>(want) : static_cast<ULONG>(sizeof chunk), &got);
      if (got == 0) break;
      done += got;
      ULONG wrote = 0;
      result = to->Write(chunk, got, &wrote);
      put += wrote;
      if (FAILED(result) || wrote != got) break;
    }
    if (read) read->QuadPart = done;
    if (written) written->QuadPart = put;
    return FAILED(result) ? result : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = shared_->size;
    stat->grfMode = STGM_READ;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
    if (!out) return STG_E_INVALIDPOINTER;
    shared_->AddRef();
    auto* copy = new (std::nothrow) BlockStream(shared_);
    if (!copy) {
      shared_->Release();
      *out = nullptr;
      return E_OUTOFMEMORY;
    }
    EnterCriticalSection(&lock_);
    copy->position_ = position_;
    LeaveCriticalSection(&lock_);
    *out = copy;
    return S_OK;
  }

 private:
  volatile LONG refs_ = 1;
  SharedBlock* shared_;
  CRITICAL_SECTION lock_;
  uint64_t position_ = 0;
};

}  // namespace

IStream* NewBlockStream(HGLOBAL block, bool freeOnRelease) {
  if (!block) return nullptr;
  const SIZE_T size = GlobalSize(block);
  const void* bytes = GlobalLock(block);
  if (!bytes) return nullptr;
  auto* shared = new (std::nothrow) SharedBlock;
  if (!shared) {
    GlobalUnlock(block);
    return nullptr;
  }
  shared->block = block;
  shared->bytes = static_cast<const uint8_t*>(bytes);
  shared->size = size;
  shared->freeOnRelease = freeOnRelease;
  auto* stream = new (std::nothrow) BlockStream(shared);
  if (!stream) {
    shared->freeOnRelease = false;  // the caller still owns the block on failure
    shared->Release();
    return nullptr;
  }
  return stream;
}

}  // namespace brn
