#include "download/LibCurlHeaderLine.h"

#include <cctype>
#include <cstdlib>

namespace Kx {
namespace {

constexpr char kTrimmed[] = " \r\t\n";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(kTrimmed);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(kTrimmed) - first + 1);
}

bool EqualsNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// strtoull alone would read "-5" as 2^64 - 5.
unsigned long long DecimalLength(const std::string& value) {
  const std::string digits = Trim(value);
  if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits[0]))) return 0;
  return std::strtoull(digits.c_str(), nullptr, 10);
}

}  // namespace

LibCurlHeaderLine ParseLibCurlHeaderLine(const std::string& line) {
  LibCurlHeaderLine result;
  const size_t colon = line.find(": ");
  if (colon == std::string::npos) return result;
  const std::string name = line.substr(0, colon);
  const std::string value = line.substr(colon + 2);
  if (EqualsNoCase(name, "Content-Length")) {
    result.contentLength = DecimalLength(value);
  } else if (EqualsNoCase(name, "Content-Disposition")) {
    const size_t at = value.find("filename=");
    if (at == std::string::npos) return result;
    const std::string fileName = value.substr(at + 9);
    result.offersFileName = true;
    result.escapedFileName = Trim(fileName.substr(0, fileName.find(';')));
  }
  return result;
}

}  // namespace Kx
