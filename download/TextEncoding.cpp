#include "download/TextEncoding.h"

#include <climits>
#include <cwchar>

#include "download/EncodingConverter.h"

namespace Kx {
namespace {

// Short texts convert in one call through a stack buffer; a result that
// fills it (or nothing at all) is measured and converted again on the heap.
constexpr size_t kShortInput = 120;
constexpr int kStackChars = 127;
constexpr int kStackBytes = 255;
constexpr int kHeapSlackBytes = 8;

// The UTF-16 type of the converter's table.
constexpr int kUtf16LeType = 9;

}  // namespace

std::wstring Utf8ToWide(const char* bytes, size_t length) {
  if (bytes == nullptr || length == 0 || length > static_cast<size_t>(INT_MAX)) return {};
  const int count = static_cast<int>(length);
  if (length < kShortInput) {
    wchar_t stack[kStackChars];
    const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes, count, stack, kStackChars);
    if (chars >= 1 && chars < kStackChars) return std::wstring(stack, static_cast<size_t>(chars));
  }
  const int needed = MultiByteToWideChar(CP_UTF8, 0, bytes, count, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring text(static_cast<size_t>(needed), L'\0');
  const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes, count, text.data(), needed);
  if (chars <= 0) return {};
  text.resize(static_cast<size_t>(chars));
  return text;
}

std::string WideToCodePage(const wchar_t* text, size_t length, UINT codePage) {
  if (text == nullptr || length == 0 || length > static_cast<size_t>(INT_MAX)) return {};
  const int count = static_cast<int>(length);
  if (length < kShortInput) {
    char stack[kStackBytes];
    const int bytes = WideCharToMultiByte(codePage, 0, text, count, stack, kStackBytes, nullptr, nullptr);
    if (bytes >= 1 && bytes < kStackBytes) return std::string(stack, static_cast<size_t>(bytes));
  }
  const int needed = WideCharToMultiByte(codePage, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed) + kHeapSlackBytes, '\0');
  const int written =
      WideCharToMultiByte(codePage, 0, text, count, bytes.data(), needed + kHeapSlackBytes, nullptr, nullptr);
  if (written <= 0) return {};
  bytes.resize(static_cast<size_t>(written));
  return bytes;
}

bool DecodeUtf8Text(const char* bytes, size_t length, std::wstring& out) {
  out.clear();
  EncodingConverter converter;
  if (!converter.Open(kUtf16LeType) || bytes == nullptr || length == 0) return false;
  KxDynamicBuffer<char> converted;
  if (EncodingConverter::Convert(converter.Pair(), bytes, length, converted) != 0) return false;
  if (!converted.Empty()) {
    const auto* wide = reinterpret_cast<const wchar_t*>(converted.Data());
    out.assign(wide, wcsnlen(wide, converted.Size() / sizeof(wchar_t)));
  }
  return true;
}

}  // namespace Kx
