#pragma once
#include <windows.h>
#include <objidl.h>

namespace brn {

// A new read-only stream over the block (its whole GlobalSize), or null. The block must outlive
// the stream and its clones unless freeOnRelease hands it to them: the last one frees it.
// A read at or past the end gives no bytes, whatever the seeks before it.
IStream* NewBlockStream(HGLOBAL block, bool freeOnRelease);

}  // namespace brn
