// How long a long paste and a long SetText keep the edit box's window
// busy: the edit and the repaint that follows it, which is what the window
// does before it answers its next message. Not a test: disabled, run by
// scripts/bench-edit.sh; ZELK_BENCH_EDIT_LENGTH sets the text length
// (100000 when unset).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "miniui/controls/KxMiniUIEditView.h"
#include "tests/miniui/controls/support/Clipboard.h"
#include "tests/miniui/controls/support/ControlWindow.h"

namespace zelk::test {
namespace {

constexpr size_t kDefaultLength = 100000;

size_t BenchLength() {
  const char* length = std::getenv("ZELK_BENCH_EDIT_LENGTH");
  return length != nullptr && std::atoi(length) > 0 ? static_cast<size_t>(std::atoi(length)) : kDefaultLength;
}

// A folder-like text with spaces and separators.
std::wstring PastedText(size_t length) {
  static const wchar_t kPieces[] = L"C:\\Program Files (x86)\\ZelkPic\\data ";
  std::wstring text;
  for (size_t i = 0; text.size() < length; ++i) text.push_back(kPieces[i % (sizeof(kPieces) / sizeof(wchar_t) - 1)]);
  return text;
}

// Seconds `work` and the window's repaint after it take.
double SecondsFor(ControlWindow& window, const std::function<void()>& work) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  work();
  window.RenderNow();
  ::QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

class EditBenchmark : public FrameworkWindowTest {};

TEST_F(EditBenchmark, DISABLED_LongPasteAndSetText) {
  const size_t length = BenchLength();
  const std::wstring text = PastedText(length);
  ControlWindow window(
      ControlLayout("<edit id=\"10\" pos=\"10,10,290,40\" textalign=\"near\" fontsize=\"12\"></edit>"));
  auto* box = window.View<KxMiniUIEditView>(10);
  ASSERT_NE(box, nullptr);
  box->SetFocus();
  PumpFor(50);
  PutOnClipboard(window.GetHwnd(), text);

  const double paste = SecondsFor(window, [&] { box->RunCommand(KxMiniUIEditView::kPaste); });
  ASSERT_EQ(box->GetText().size(), length);
  const double blink = SecondsFor(window, [&] { box->OnTimer(KxMiniUIEditView::kCaretTimer); });
  const double typed = SecondsFor(window, [&] {
    box->RunCommand(KxMiniUIEditView::kBackspace);
  });
  const double undo = SecondsFor(window, [&] { box->RunCommand(KxMiniUIEditView::kUndo); });
  const double putBack = SecondsFor(window, [&] { box->SetText(L"C:\\Program Files (x86)\\ZelkPic", true); });
  const double setText = SecondsFor(window, [&] { box->SetText(text, true); });
  std::printf("edit, %zu characters: paste %.3f s, SetText %.3f s, SetText back to a folder %.3f s, "
              "backspace at the end %.3f s, undo %.3f s, caret blink %.3f s\n",
              length, paste, setText, putBack, typed, undo, blink);
}

}  // namespace
}  // namespace zelk::test
