// What the entry point decides before any window exists: silent or windowed,
// and the distribution channel taken from the program's own file name.
#pragma once

#include <string>

// The product's fixed names, for the configuration and for the code that
// reads the installed product: its folder (also its registry key and the
// download folder's name under the temporary folder) and its editor.
constexpr wchar_t kProductFolderName[] = L"ZelkPic";
constexpr wchar_t kEditorExeName[] = L"ZelkPdfEditor.exe";

struct LaunchConfig {
  bool silent = false;
  std::wstring productFolder = kProductFolderName;
  std::wstring editorExe = kEditorExeName;
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
