#include "core/bounded_call.h"

#include <objbase.h>
#include <process.h>

#include <utility>

#include "core/shut_down.h"

namespace {

// COM for a job's thread: free-threaded, so that nothing waits for a message loop there.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

// Shared by the caller and the job's thread; the last of the two to leave frees it.
struct BoundedJob {
  std::function<bool()> work;
  volatile LONG owners = 2;
  bool ok = false;
  static void Leave(BoundedJob* job) {
    if (InterlockedDecrement(&job->owners) == 0) delete job;
  }
};

unsigned __stdcall BoundedJobProc(void* p) {
  auto* job = static_cast<BoundedJob*>(p);
  {
    ComScope com;
    job->ok = job->work();
    job->work = nullptr;  // COM objects it still holds are released under its own COM
  }
  BoundedJob::Leave(job);
  return 0;
}

}  // namespace

bool RunBounded(DWORD ms, std::function<bool()> work, bool* timedOut) {
  if (timedOut) *timedOut = false;
  auto* job = new BoundedJob{std::move(work)};
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, BoundedJobProc, job, 0, nullptr));
  if (!thread) {
    delete job;
    return false;
  }
  const bool finished = WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
  CloseHandle(thread);
  if (!finished) {
    InterlockedIncrement(&g_abandonedThreads);
    if (timedOut) *timedOut = true;
  }
  const bool ok = finished && job->ok;
  BoundedJob::Leave(job);
  return ok;
}
