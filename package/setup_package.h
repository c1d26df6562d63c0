// The setup package: where its files are and what was loaded from it.
#pragma once
#include <windows.h>

struct SetupContext;
struct XmlDocument;

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

int LoadSetupPackage(HINSTANCE instance, const char* commandLine, SetupContext* context);
// Releases the descriptor tree and the Unicode layer once the target is chosen.
void ReleaseSetupPackage();
