#include "support/modal_steps.h"

namespace testsupport {

namespace {
struct Run {
  const std::function<HWND()>* shown;
  std::vector<ModalStep> steps;
  size_t next = 0;
  bool inStep = false;
};
// A thread timer's procedure has no context of its own: the run under way (dialogs of one thread
// are modal one at a time).
Run* g_run = nullptr;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
  Run* run = g_run;
  if (!run || run->inStep || !(*run->shown)()) return;
  run->inStep = true;
  if (run->next < run->steps.size() && run->steps[run->next]()) ++run->next;
  run->inStep = false;
}
}  // namespace

size_t RunModalSteps(const std::function<HWND()>& shown, std::vector<ModalStep> steps, UINT tickMs,
                     const std::function<void()>& open) {
  Run run{&shown, std::move(steps)};
  Run* const outer = g_run;
  g_run = &run;
  const UINT_PTR timer = SetTimer(nullptr, 0, tickMs, StepTimer);
  open();
  KillTimer(nullptr, timer);
  g_run = outer;
  return run.next;
}

std::vector<ModalStep> EachOnce(std::vector<std::function<void()>> steps) {
  std::vector<ModalStep> once;
  once.reserve(steps.size());
  for (auto& step : steps)
    once.push_back([step = std::move(step)] {
      step();
      return true;
    });
  return once;
}

}  // namespace testsupport
