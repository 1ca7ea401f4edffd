#include "core/entry_lock.h"

namespace {
// Made before main runs and never destroyed: a worker left running at shut-down may still take it.
struct UndoSection {
  CRITICAL_SECTION section;
  UndoSection() { InitializeCriticalSection(&section); }
};
CRITICAL_SECTION* Section() {
  static UndoSection* made = new UndoSection;
  return &made->section;
}
}  // namespace

EntryUndoLock::EntryUndoLock() { EnterCriticalSection(Section()); }
EntryUndoLock::~EntryUndoLock() { LeaveCriticalSection(Section()); }
