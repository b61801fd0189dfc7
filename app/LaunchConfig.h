// What the entry point decides before any window exists: silent or windowed,
// and the distribution channel taken from the program's own file name.
#pragma once

#include <string>

struct LaunchConfig {
  bool silent = false;
  std::wstring productFolder = L"ZelkPic";
  std::wstring editorExe = L"ZelkPdfEditor.exe";
  std::wstring channel;
};

// True when a blank- or tab-separated token of the command line is "/s" or
// "-s" in any letter case. Quotes have no special meaning.
bool HasSilentSwitch(const wchar_t* commandLine);

// The second "_"-separated piece of the program's base name, when both it and
// the first piece are at least two characters long; empty otherwise.
std::wstring ChannelFromProgramPath(const std::wstring& programPath);

// The configuration for this process: its command line and its own path.
LaunchConfig MakeLaunchConfig(const wchar_t* commandLine);
