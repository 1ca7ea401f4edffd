// A test's steps run inside a modal dialog's own message loop: while the dialog is open the test's
// code gets no turn, so a thread timer hands it one step per tick.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace testsupport {

// True when done; false when not yet possible, and tried again at the next tick.
using ModalStep = std::function<bool()>;

// Calls `open` (which returns once the dialog is closed) and runs the steps in order, one per tick
// of `tickMs` and only while `shown` gives a window. No step starts inside another: a message box
// of a step runs a loop of its own. Returns how many steps were done.
size_t RunModalSteps(const std::function<HWND()>& shown, std::vector<ModalStep> steps, UINT tickMs,
                     const std::function<void()>& open);

// Steps that are always possible: each done at its tick.
std::vector<ModalStep> EachOnce(std::vector<std::function<void()>> steps);

}  // namespace testsupport
