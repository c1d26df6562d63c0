// The browser toolbar button.
#pragma once

int RegisterBrowserButton(const char* programPath, const char* iconText, const char* buttonText,
                          int wanted);
int IsBrowserButtonRegistered();
