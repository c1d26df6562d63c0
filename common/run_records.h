// The records of a run that several parts of the program fill and read: the
// driver's context with the target that the target choice fills, and the
// setup package. Functions that work on them live with their parts.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "common/option_bits.h"

struct XmlDocument;

struct InstallTarget {
  uint32_t flags;  // copy of SetupContext.flags, plus OptFreshInstall
  int internetFunction;
  int desktopShortcut;
  int startMenuShortcut;
  int browserButton;
  char productName[MAX_PATH];
  char productVersion[MAX_PATH];
  char sourceFolder[MAX_PATH];
  char groupShortcutPath[MAX_PATH];
  char groupFolder[MAX_PATH];
  char targetFolder[MAX_PATH];
  char programPath[MAX_PATH];
  char previousName[MAX_PATH];
  char previousGroupShortcutPath[MAX_PATH];
};

struct SetupContext {
  uint32_t flags;
  int succeeded;
  int resultPhase;
  const char* uninstallerName;
  int agentPending;
  HANDLE initEvent;
  HWND ownerWindow;
  int instanceRunning;
  int isNt5OrLater;
  int cancelled;
  SHELLEXECUTEINFOA launchInfo;
  char downloadFolder[MAX_PATH];
  char buttonText[MAX_PATH];
  OSVERSIONINFOA osVersion;
  InstallTarget target;
  char previousVersion[MAX_PATH];
};

struct SetupPackage {
  char settingsPath[MAX_PATH];    // "NvxSetup.dat"
  char descriptorPath[MAX_PATH];  // "DidIve.nvx" or "VOD.xml"
  XmlDocument* descriptor;        // parsed "VOD.xml", until the driver releases it
  int isXmlDescriptor;
  HMODULE unicodeLayer;           // "unicows.dll" on Windows 9x
  HINSTANCE instance;
};

// The run-wide package record.
extern SetupPackage g_setupPackage;
