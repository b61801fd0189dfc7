#include "app/LaunchConfig.h"

#include <windows.h>

#include "base/PathUtil.h"
#include "base/StringUtil.h"

bool HasSilentSwitch(const wchar_t* commandLine) {
  if (!commandLine || !*commandLine) return false;
  for (const std::wstring& token : Kx::Split(commandLine, L" \t")) {
    if (Kx::EqualsNoCase(token, L"/s") || Kx::EqualsNoCase(token, L"-s")) return true;
  }
  return false;
}

std::wstring ChannelFromProgramPath(const std::wstring& programPath) {
  const std::vector<std::wstring> pieces = Kx::Split(Kx::BaseNameOf(programPath), L"_");
  if (pieces.size() < 2 || pieces[0].size() < 2 || pieces[1].size() < 2) return {};
  return pieces[1];
}

LaunchConfig MakeLaunchConfig(const wchar_t* commandLine) {
  LaunchConfig config;
  config.silent = HasSilentSwitch(commandLine);
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length != 0 && length < MAX_PATH) config.channel = ChannelFromProgramPath(path);
  return config;
}
