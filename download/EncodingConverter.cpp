#include "download/EncodingConverter.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cwchar>
#include <utility>

namespace Kx {
namespace {

constexpr unsigned kUtf16Le = 1200;
constexpr unsigned kUtf16Be = 1201;
constexpr unsigned kNoCodePage = 0xFFFF;

struct NamedEncoding {
  const wchar_t* name;
  unsigned codePage;
};

constexpr NamedEncoding kEncodings[] = {
    {L"ANSI/OEM - Simplified Chinese (PRC, Singapore)", 936},
    {L"ANSI/OEM - Traditional Chinese", 950},
    {L"UCS-2-LE", kUtf16Le},
    {L"UCS-2-BE", kUtf16Be},
    {L"Windows XP: GB18030 Simplified Chinese (4 Byte)", 54936},
    {L"UTF-7", 65000},
    {L"UTF-8", 65001},
    {L"UTF-32-LE", 65005},
    {L"UTF-32-BE", 65006},
};

bool IsUtf16(unsigned codePage) { return codePage == kUtf16Le || codePage == kUtf16Be; }

// Code page of a table name; the empty name is the system ANSI code page.
bool CodePageOfName(const wchar_t* name, unsigned& codePage) {
  if (*name == L'\0') {
    codePage = GetACP();
    return true;
  }
  for (const auto& entry : kEncodings) {
    if (std::wcscmp(entry.name, name) == 0) {
      codePage = entry.codePage;
      return true;
    }
  }
  return false;
}

// UTF-16 needs no system support; other code pages must convert one byte.
bool SystemConverts(unsigned codePage) {
  if (IsUtf16(codePage)) return true;
  wchar_t probe[4] = {};
  return MultiByteToWideChar(codePage, 0, "a", 1, probe, 4) > 0;
}

void SwapBytePairs(char* bytes, size_t length) {
  for (size_t i = 0; i + 1 < length; i += 2) std::swap(bytes[i], bytes[i + 1]);
}

int Fail(int error) {
  errno = error;
  return -1;
}

// `length` bytes of UTF-16 in `codePage` (1200 or 1201) to a byte code page.
void FromUtf16(const char* input, size_t length, unsigned sourceCodePage, unsigned targetCodePage,
               KxDynamicBuffer<char>& out) {
  KxDynamicBuffer<char> little;
  little.Append(input, length);
  if (sourceCodePage == kUtf16Be) SwapBytePairs(little.Data(), length);
  const auto* wide = reinterpret_cast<const wchar_t*>(little.Data());
  const int chars = static_cast<int>(length / sizeof(wchar_t));
  const int needed = WideCharToMultiByte(targetCodePage, 0, wide, chars, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return;
  out.Reset(static_cast<size_t>(needed) + 1);
  const int written = WideCharToMultiByte(targetCodePage, 0, wide, chars, out.Data(), needed, nullptr, nullptr);
  out.SetSize(written > 0 ? static_cast<size_t>(written) : 0);
}

// `length` bytes in a byte code page to UTF-16 in `targetCodePage` (1200 or 1201).
void ToUtf16(const char* input, size_t length, unsigned sourceCodePage, unsigned targetCodePage,
             KxDynamicBuffer<char>& out) {
  const int bytes = static_cast<int>(length);
  const int needed = MultiByteToWideChar(sourceCodePage, 0, input, bytes, nullptr, 0);
  if (needed <= 0) return;
  const size_t size = static_cast<size_t>(needed) * sizeof(wchar_t);
  out.Reset(size + sizeof(wchar_t));
  const int written =
      MultiByteToWideChar(sourceCodePage, 0, input, bytes, reinterpret_cast<wchar_t*>(out.Data()), needed);
  if (written <= 0) return;
  out.SetSize(static_cast<size_t>(written) * sizeof(wchar_t));
  if (targetCodePage == kUtf16Be) SwapBytePairs(out.Data(), out.Size());
}

}  // namespace

const wchar_t* EncodingConverter::EncodingName(int type) {
  switch (type) {
    case 1:
    case 2:
      return kEncodings[0].name;
    case 3:
      return kEncodings[4].name;
    case 4:
      return kEncodings[1].name;
    case 5:
      return kEncodings[5].name;
    case 6:
      return kEncodings[6].name;
    case 7:
    case 9:
    case 13:
    case 15:
      return kEncodings[2].name;
    case 8:
    case 14:
      return kEncodings[3].name;
    case 10:
    case 12:
    case 16:
    case 18:
      return kEncodings[7].name;
    case 11:
    case 17:
      return kEncodings[8].name;
    default:
      return L"";
  }
}

bool EncodingConverter::Open(int targetType) {
  pair_ = kInvalidPair;
  open_ = false;
  unsigned source = 0;
  unsigned target = 0;
  if (!CodePageOfName(EncodingName(kSourceUtf8), source) || !CodePageOfName(EncodingName(targetType), target) ||
      !SystemConverts(source) || !SystemConverts(target)) {
    errno = EINVAL;
    return false;
  }
  pair_ = MakePair(source, target);
  open_ = true;
  return true;
}

int EncodingConverter::Convert(uint32_t pair, const char* input, size_t length, KxDynamicBuffer<char>& out) {
  out.Reset(0);
  if (input == nullptr || length == 0) return 0;
  const unsigned source = pair >> 16;
  const unsigned target = pair & 0xFFFF;
  if (source == kNoCodePage || target == kNoCodePage) return Fail(EBADF);
  // The system calls count in int.
  if (length > static_cast<size_t>(INT_MAX) / sizeof(wchar_t)) return Fail(EINVAL);
  // Half a UTF-16 unit can be neither swapped nor converted.
  if (IsUtf16(source) && length % 2 != 0) return Fail(EILSEQ);

  if (source == target) {
    out.Reset(length + sizeof(wchar_t));
    out.Append(input, length);
  } else if (IsUtf16(source) && IsUtf16(target)) {
    out.Reset(length + sizeof(wchar_t));
    out.Append(input, length);
    SwapBytePairs(out.Data(), length);
  } else if (IsUtf16(source)) {
    FromUtf16(input, length, source, target, out);
  } else if (IsUtf16(target)) {
    ToUtf16(input, length, source, target, out);
  } else {
    KxDynamicBuffer<char> wide;
    ToUtf16(input, length, source, kUtf16Le, wide);
    if (!wide.Empty()) FromUtf16(wide.Data(), wide.Size(), kUtf16Le, target, out);
  }
  return 0;
}

}  // namespace Kx
