#include "verify/SignerName.h"

#include <utility>
#include <vector>

namespace Kx {
namespace {

using Attribute = std::pair<std::wstring, std::wstring>;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsSeparator(wchar_t c) { return c == L',' || c == L';' || c == L'+'; }

class SubjectReader {
 public:
  explicit SubjectReader(const std::wstring& text) : text_(text) {}

  // Every attribute in order; reading stops at text that is not "name=value".
  std::vector<Attribute> ReadAll() {
    std::vector<Attribute> attributes;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) break;
      Attribute attribute;
      if (!ReadName(attribute.first) || !ReadValue(attribute.second)) break;
      attributes.push_back(std::move(attribute));
      SkipBlanks();
      if (AtEnd() || !IsSeparator(text_[pos_])) break;
      ++pos_;
    }
    return attributes;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  bool ReadName(std::wstring& name) {
    const size_t equals = text_.find(L'=', pos_);
    if (equals == std::wstring::npos) return false;
    name = text_.substr(pos_, equals - pos_);
    while (!name.empty() && IsBlank(name.back())) name.pop_back();
    pos_ = equals + 1;
    SkipBlanks();
    return !name.empty();
  }

  bool ReadValue(std::wstring& value) {
    if (!AtEnd() && text_[pos_] == L'"') return ReadQuotedValue(value);
    const size_t start = pos_;
    while (!AtEnd() && !IsSeparator(text_[pos_])) ++pos_;
    value = text_.substr(start, pos_ - start);
    while (!value.empty() && IsBlank(value.back())) value.pop_back();
    return true;
  }

  bool ReadQuotedValue(std::wstring& value) {
    for (++pos_; !AtEnd(); ++pos_) {
      if (text_[pos_] != L'"') {
        value += text_[pos_];
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == L'"') {
        value += L'"';
        ++pos_;
      } else {
        ++pos_;
        return true;
      }
    }
    return false;  // no closing quote: the text is broken from here on
  }

  const std::wstring& text_;
  size_t pos_ = 0;
};

// The first usable value of `name`: too long a value counts as absent.
bool FirstValueOf(const std::vector<Attribute>& attributes, const wchar_t* name, std::wstring& value) {
  for (const auto& attribute : attributes) {
    if (attribute.first != name) continue;
    if (attribute.second.size() > kMaxSignerName) return false;
    value = attribute.second.substr(0, kMaxSignerName - 1);
    return true;
  }
  return false;
}

}  // namespace

std::wstring SignerNameFromSubject(const std::wstring& subject) {
  const std::vector<Attribute> attributes = SubjectReader(subject).ReadAll();
  std::wstring name;
  if (FirstValueOf(attributes, L"CN", name)) return name;
  if (FirstValueOf(attributes, L"OU", name)) return name;
  return {};
}

}  // namespace Kx
