// How long a program takes from its start to a visible, painted window, as
// another program sees it on the screen: the installer as users get it
// (windowed, signed by a listed publisher, its package address on a closed
// local port) against the plainest GDI+ window program
// (fixture/BareGdiplusWindowMain.cpp), started alternately in the same run.
// The clock starts before CreateProcess and stops when the program's
// unowned top-level window is visible and the screen shows in it what it
// shows once it has settled. The disabled StartupBenchmark.* case, run by
// scripts/bench-startup.sh. A benchmark, not a test: nothing is asserted
// about speed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/SilentTestSupport.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

constexpr int kDefaultRuns = 10;
constexpr DWORD kWindowTimeoutMs = 30000;
// A settled window: what the screen shows this long after it appeared.
constexpr DWORD kSettleMs = 1500;
// Between starts, so that the last one's windows are gone from the screen.
constexpr DWORD kPauseMs = 300;
// Share of sampled pixels that must show the settled picture: a blinking
// caret or a hover look do not make a window unpainted.
constexpr double kPaintedShare = 0.98;
constexpr int kSampleStep = 4;
// Nothing listens there: the installer has no reason to connect before the
// click, and would get nowhere if it did.
constexpr wchar_t kClosedPortUrl[] = L"https://127.0.0.1:9/tg/pic/zelkpic_KUID_100090_v10.10.exe";

double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int Runs() {
  const char* text = std::getenv("ZELK_BENCH_STARTUP_RUNS");
  const int runs = text != nullptr ? std::atoi(text) : 0;
  return runs > 0 ? runs : kDefaultRuns;
}

// The visible top-level window of `pid` that no other window owns (not a
// drop shadow or a tool tip), or none.
HWND MainWindowOf(DWORD pid) {
  return FindTopLevelWindow(
      pid, [](HWND window) { return IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr; });
}

// Every kSampleStep-th pixel of the window's client area as the screen shows it.
std::vector<COLORREF> ScreenSamples(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  std::vector<COLORREF> samples;
  if (client.right <= client.left || client.bottom <= client.top) return samples;
  const ScreenCapture capture(client);
  for (int y = 0; y < capture.Height(); y += kSampleStep) {
    for (int x = 0; x < capture.Width(); x += kSampleStep) samples.push_back(capture.At(x, y));
  }
  return samples;
}

bool ShowsPicture(const std::vector<COLORREF>& samples, const std::vector<COLORREF>& picture) {
  if (samples.empty() || samples.size() != picture.size()) return false;
  size_t same = 0;
  for (size_t i = 0; i < samples.size(); ++i) same += samples[i] == picture[i] ? 1 : 0;
  return static_cast<double>(same) >= kPaintedShare * static_cast<double>(samples.size());
}

bool AllOneColour(const std::vector<COLORREF>& samples) {
  return std::all_of(samples.begin(), samples.end(), [&](COLORREF c) { return c == samples.front(); });
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One program started again and again; what its settled window shows is
// learnt from a first start that is not timed.
class TimedProgram {
 public:
  TimedProgram(std::string name, std::wstring path) : name_(std::move(name)), path_(std::move(path)) {}

  void LearnSettledPicture() {
    ChildProcess process;
    ASSERT_TRUE(process.Start(Quote(path_), FolderOf(path_))) << name_;
    HWND window = WaitForMainWindow(process.Pid());
    ASSERT_NE(nullptr, window) << name_ << ": no window";
    Sleep(kSettleMs);
    picture_ = ScreenSamples(window);
    // An unpainted window shows one colour, the painted ones do not.
    ASSERT_FALSE(picture_.empty() || AllOneColour(picture_)) << name_ << ": nothing painted";
  }

  // Start to visible window and start to painted window, in milliseconds.
  void TimeOneStart() {
    SetCursorPos(0, 0);  // no hover look on either program
    ChildProcess process;
    const double start = NowMs();
    ASSERT_TRUE(process.Start(Quote(path_), FolderOf(path_))) << name_;
    double visible = -1;
    for (;;) {
      const double now = NowMs();
      ASSERT_LT(now - start, kWindowTimeoutMs) << name_ << ": no painted window";
      HWND window = MainWindowOf(process.Pid());
      if (window == nullptr) {
        Sleep(1);
        continue;
      }
      if (visible < 0) visible = now - start;
      if (ShowsPicture(ScreenSamples(window), picture_)) break;
    }
    painted_.push_back(NowMs() - start);
    visible_.push_back(visible);
    process.Kill();
    Sleep(kPauseMs);
  }

  double MedianPainted() const { return Median(painted_); }

  void Print(const char* build) const {
    std::printf("startup %s %s visible %.1f ms painted %.1f ms (runs:", build, name_.c_str(), Median(visible_),
                MedianPainted());
    for (double ms : painted_) std::printf(" %.0f", ms);
    std::printf(")\n");
  }

 private:
  static std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

  static HWND WaitForMainWindow(DWORD pid) {
    const double start = NowMs();
    while (NowMs() - start < kWindowTimeoutMs) {
      if (HWND window = MainWindowOf(pid)) return window;
      Sleep(10);
    }
    return nullptr;
  }

  std::string name_;
  std::wstring path_;
  std::vector<COLORREF> picture_;
  std::vector<double> visible_;
  std::vector<double> painted_;
};

TEST(StartupBenchmark, DISABLED_InstallerAgainstBareGdiplusWindow) {
  ScopedTempDir folder;
  std::wstring installer;
  ASSERT_TRUE(RepointedInstaller(folder.Path(), L"zelkpdf_100090.exe", kClosedPortUrl, installer));
  // As a release ships it: the signed libcurl beside the installer.
  ASSERT_TRUE(CopyFileW(SilentFixture(L"libcurl_x86.dll").c_str(), folder.Join(L"libcurl_x86.dll").c_str(), FALSE));

  TimedProgram bare("bare_gdiplus", BinDir() + L"\\bare_gdiplus_window.exe");
  TimedProgram ours("installer", installer);
  ASSERT_NO_FATAL_FAILURE(bare.LearnSettledPicture());
  ASSERT_NO_FATAL_FAILURE(ours.LearnSettledPicture());
  for (int run = 0; run < Runs(); ++run) {
    ASSERT_NO_FATAL_FAILURE(bare.TimeOneStart());
    ASSERT_NO_FATAL_FAILURE(ours.TimeOneStart());
  }
#ifdef _WIN64
  const char* build = "x86_64";
#else
  const char* build = "i686";
#endif
  bare.Print(build);
  ours.Print(build);
  std::printf("startup %s ratio %.2f\n", build, ours.MedianPainted() / bare.MedianPainted());
}

}  // namespace
}  // namespace zelk::test
