// The running-instance check against the stand-in product: by its mutex from
// version 1.03.0000 on, by its window title before that.
#include <gtest/gtest.h>

#include "common/text.h"
#include "driver/instance_check.h"
#include "driver/setup_sequence.h"
#include "support/support.h"

namespace {

const char kName[] = "Instance Check Product";

struct StandIn {
  ts::Process process;
  HWND window = nullptr;
};

// Starts the stand-in product; oldStyle: window only, no mutex.
StandIn StartProduct(bool oldStyle) {
  StandIn product;
  std::string args = std::string("\"/N:") + kName + "\"" + (oldStyle ? " /O" : "");
  product.process = ts::StartProcess(ts::BuildDir() + "\\DidIve.exe", args);
  product.window = ts::WaitForWindow(kName, 20000, product.process.id);
  return product;
}

void StopProduct(StandIn* product) {
  if (product->window != nullptr) PostMessageA(product->window, WM_CLOSE, 0, 0);
  ts::FinishProcess(&product->process, 10000);
}

int Check(const char* previousVersion, uint32_t flags) {
  SetupContext context;
  InitSetupContext(&context);
  context.flags = flags;
  TextCopy(context.target.productName, MAX_PATH, kName);
  TextCopy(context.previousVersion, MAX_PATH, previousVersion);
  CheckRunningInstance(&context);
  return context.instanceRunning;
}

struct InstanceCase {
  const char* previousVersion;
  int productStyle;  // 0 none, 1 mutex and window, 2 window only (older product)
  int expected;
};

TEST(CheckRunningInstance, ByMutexOrByWindowTitle) {
  const InstanceCase cases[] = {
      {"1.03.0000", 0, 0}, {"1.03.0000", 1, 1}, {"1.03.0000", 2, 0},  // by mutex
      {"1.10.0000", 1, 1}, {"2.00.0000", 2, 0}, {"1.03.00001", 1, 1},
      {"1.02.9999", 0, 0}, {"1.02.9999", 1, 1}, {"1.02.9999", 2, 1},  // by window
      {"", 1, 1},          {"", 2, 1},          {"", 0, 0},
      {"1.03", 2, 1},      {"0.99", 1, 1},
  };
  for (int style = 0; style <= 2; ++style) {
    StandIn product;
    if (style != 0) {
      product = StartProduct(style == 2);
      ASSERT_NE(nullptr, product.window) << "stand-in product did not show its window";
    }
    for (const InstanceCase& c : cases) {
      if (c.productStyle != style) continue;
      EXPECT_EQ(c.expected, Check(c.previousVersion, OptInstall))
          << "previous version \"" << c.previousVersion << "\", product style " << style;
    }
    if (style != 0) StopProduct(&product);
  }
}

struct CloseLater {
  HWND window;
  DWORD delayMs;
};

DWORD WINAPI CloseAfterDelay(void* param) {
  auto* close = static_cast<CloseLater*>(param);
  Sleep(close->delayMs);
  PostMessageA(close->window, WM_CLOSE, 0, 0);
  return 0;
}

TEST(CheckRunningInstance, RelaunchWaitsUntilTheProductReleasesItsMutex) {
  StandIn product = StartProduct(false);
  ASSERT_NE(nullptr, product.window);
  CloseLater close{product.window, 1500};
  HANDLE closer = CreateThread(nullptr, 0, CloseAfterDelay, &close, 0, nullptr);
  DWORD start = GetTickCount();
  EXPECT_EQ(0, Check("1.03.0000", OptInstall | OptRelaunch));
  EXPECT_GE(GetTickCount() - start, 1000u) << "did not wait for the product";
  WaitForSingleObject(closer, INFINITE);
  CloseHandle(closer);
  ts::FinishProcess(&product.process, 10000);

  // The setup gave the mutex back: a product started now takes it and is seen.
  StandIn again = StartProduct(false);
  ASSERT_NE(nullptr, again.window);
  EXPECT_EQ(1, Check("1.03.0000", OptInstall));
  HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kName);
  ASSERT_NE(nullptr, mutex);
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(mutex, 0))
      << "the new product must own its mutex";
  CloseHandle(mutex);
  StopProduct(&again);
}

DWORD WINAPI TakeAndLeave(void* mutex) {
  *static_cast<HANDLE*>(mutex) = CreateMutexA(nullptr, TRUE, kName);
  return 0;  // ends owning it: the mutex is abandoned
}

DWORD WINAPI TryTake(void* mutex) { return WaitForSingleObject(static_cast<HANDLE>(mutex), 0); }

// A product that ended without releasing its mutex: the relaunch takes the
// abandoned mutex, counts the product as ended and gives the mutex back.
TEST(CheckRunningInstance, RelaunchTakesAnAbandonedMutexAndGivesItBack) {
  HANDLE mutex = nullptr;
  HANDLE owner = CreateThread(nullptr, 0, TakeAndLeave, &mutex, 0, nullptr);
  WaitForSingleObject(owner, INFINITE);
  CloseHandle(owner);
  ASSERT_NE(nullptr, mutex);
  EXPECT_EQ(0, Check("1.03.0000", OptInstall | OptRelaunch));
  HANDLE other = CreateThread(nullptr, 0, TryTake, mutex, 0, nullptr);
  WaitForSingleObject(other, INFINITE);
  DWORD taken = WAIT_FAILED;
  GetExitCodeThread(other, &taken);
  CloseHandle(other);
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), taken) << "the setup kept the mutex";
  CloseHandle(mutex);
}

TEST(CheckRunningInstance, EmptyProductNameFindsNothing) {
  SetupContext context;
  InitSetupContext(&context);
  context.instanceRunning = 1;
  CheckRunningInstance(&context);
  EXPECT_EQ(0, context.instanceRunning);
}

}  // namespace
