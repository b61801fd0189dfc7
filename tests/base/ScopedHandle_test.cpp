#include "base/ScopedHandle.h"

#include <windows.h>

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

TEST(TScopedHandleTest, MoveAssignmentClosesWhatTheTargetHeld) {
  HANDLE first = NewEvent();
  HANDLE second = NewEvent();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  Kx::ScopedHandle target(first);
  Kx::ScopedHandle source(second);
  target = std::move(source);
  EXPECT_FALSE(IsOpenHandle(first));
  EXPECT_TRUE(IsOpenHandle(second));
  EXPECT_EQ(target.Get(), second);
  EXPECT_FALSE(source.IsValid());  // NOLINT(bugprone-use-after-move): moved-from state is defined
}

TEST(TScopedHandleTest, ReceiveClosesWhatWasHeldAndTakesWhatTheCallWrites) {
  HANDLE original = NewEvent();
  ASSERT_NE(original, nullptr);
  Kx::ScopedHandle held(NewEvent());
  HANDLE previous = held.Get();
  HANDLE* slot = held.Receive();
  // Checked before the call: the duplicate may reuse the freed handle value.
  EXPECT_FALSE(IsOpenHandle(previous));
  EXPECT_EQ(*slot, nullptr);
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), original, GetCurrentProcess(), slot, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  HANDLE duplicate = held.Get();
  ASSERT_TRUE(held.IsValid());
  EXPECT_NE(duplicate, original);
  held.Reset();
  EXPECT_FALSE(IsOpenHandle(duplicate));
  EXPECT_TRUE(IsOpenHandle(original));
  CloseHandle(original);
}

TEST(TScopedHandleTest, LocalMemoryReceivesTheTextFormatMessageAllocates) {
  Kx::ScopedLocalMemory<wchar_t*> text;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, ERROR_FILE_NOT_FOUND, 0, reinterpret_cast<wchar_t*>(text.Receive()), 0, nullptr);
  ASSERT_GT(length, 0u);
  ASSERT_TRUE(text.IsValid());
  EXPECT_EQ(std::wstring(text.Get()).size(), length);
}

TEST(TScopedHandleTest, GdiObjectIsDeletedWithItsOwner) {
  HRGN region = CreateRectRgn(0, 0, 10, 10);
  ASSERT_NE(region, nullptr);
  {
    Kx::ScopedGdiObject<HRGN> owner(region);
    owner.Reset(region);  // the object already owned stays
    EXPECT_EQ(GetObjectType(owner.Get()), static_cast<DWORD>(OBJ_REGION));
  }
  EXPECT_EQ(GetObjectType(region), 0u);
}

TEST(TScopedHandleTest, MemoryDCIsDeletedWithItsOwner) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  {
    const Kx::ScopedMemoryDC owner(dc);
    EXPECT_EQ(GetObjectType(owner.Get()), static_cast<DWORD>(OBJ_MEMDC));
  }
  EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(TScopedHandleTest, ScreenDCIsADeviceContext) {
  const Kx::ScopedWindowDC screen = Kx::ClientDCOf(nullptr);
  ASSERT_TRUE(screen.IsValid());
  EXPECT_EQ(GetObjectType(screen.Get()), static_cast<DWORD>(OBJ_DC));
  EXPECT_GT(GetDeviceCaps(screen.Get(), LOGPIXELSX), 0);
}

TEST(TScopedHandleTest, ModuleStaysLoadedUntilItsLastOwnerEnds) {
  // A copy of its own, so no other test's load keeps it in the process.
  const zelk::test::ScopedTempDir dir;
  const std::wstring path = dir.Join(L"scoped_module.dll");
  ASSERT_TRUE(CopyFileW((zelk::test::BinDir() + L"\\base_planted.dll").c_str(), path.c_str(), TRUE));
  ASSERT_EQ(GetModuleHandleW(path.c_str()), nullptr);
  {
    Kx::ScopedModule outer;
    {
      Kx::ScopedModule loaded(LoadLibraryW(path.c_str()));
      ASSERT_TRUE(loaded.IsValid());
      outer = std::move(loaded);
    }
    EXPECT_EQ(GetModuleHandleW(path.c_str()), outer.Get());
  }
  EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
}

TEST(TScopedHandleTest, SearchIsClosedWithItsOwner) {
  EXPECT_EQ(Kx::ScopedFindHandle().Get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Kx::ScopedFindHandle().IsValid());

  const zelk::test::ScopedTempDir dir;
  const std::wstring folder = dir.Join(L"searched");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  {
    WIN32_FIND_DATAW data = {};
    const Kx::ScopedFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    ASSERT_TRUE(search.IsValid());
    // The open search holds the folder without delete sharing.
    ASSERT_FALSE(RemoveDirectoryW(folder.c_str()));
  }
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

}  // namespace
