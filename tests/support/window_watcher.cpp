#include <set>

#include "support/support.h"

namespace ts {

WindowWatcher::WindowWatcher(WindowAnswer answer) : answer_(std::move(answer)) {
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

WindowWatcher::~WindowWatcher() { Stop(); }

std::vector<SeenWindow> WindowWatcher::Stop() {
  if (thread_ != nullptr) {
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return seen_;
}

DWORD WINAPI WindowWatcher::Run(void* param) {
  auto* self = static_cast<WindowWatcher*>(param);
  std::set<HWND> answered;
  while (InterlockedCompareExchange(&self->stop_, 0, 0) == 0) {
    for (HWND window : TopLevelWindows(GetCurrentProcessId())) {
      if (answered.count(window)) continue;
      WaitForTitle(window);
      SeenWindow seen{window, WindowText(window), MessageBoxText(window)};
      // On a loaded machine a window can get its title and text after the
      // first look: keep the last look that found a title.
      bool known = false;
      for (SeenWindow& w : self->seen_) {
        if (w.window != window) continue;
        known = true;
        if (!seen.title.empty()) w = seen;
      }
      if (!known) self->seen_.push_back(seen);
      if (self->answer_(seen)) answered.insert(window);
    }
    Sleep(50);
  }
  return 0;
}

}  // namespace ts
