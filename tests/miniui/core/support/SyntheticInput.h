// Real keyboard and mouse input through the system queue, as a user would
// give it: the window under test gets it from the X server like any other.
#pragma once

#include <windows.h>

#include <vector>

namespace zelk::test {

enum KeyModifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2 };

// One key press and release, with Shift and/or Control held around it.
inline void SendKeyStroke(WORD key, unsigned modifiers = kNoModifier) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (modifiers & kControl) add(VK_CONTROL, false);
  if (modifiers & kShift) add(VK_SHIFT, false);
  add(key, false);
  add(key, true);
  if (modifiers & kShift) add(VK_SHIFT, true);
  if (modifiers & kControl) add(VK_CONTROL, true);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A key stroke from a thread other than the window's, paced like a click.
inline void SendKeyStrokeAndWait(WORD key) {
  SendKeyStroke(key);
  ::Sleep(60);
}

// A left click at a screen point, paced so the X server sees the move, the
// press and the release apart. For a thread other than the window's (the
// window's own thread must keep pumping to receive it).
inline void ClickAtScreen(POINT point) {
  ::SetCursorPos(point.x, point.y);
  ::Sleep(60);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &inputs[0], sizeof(INPUT));
  ::Sleep(60);
  ::SendInput(1, &inputs[1], sizeof(INPUT));
  ::Sleep(60);
}

}  // namespace zelk::test
