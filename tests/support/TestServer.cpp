#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::wstring StateDir() { return Environment(L"ZELK_TEST_SERVER_DIR"); }

RecordedRequest ParseRecord(const std::string& raw) {
  RecordedRequest request;
  request.raw = raw;
  const size_t headEnd = raw.find("\r\n\r\n");
  const std::string head = raw.substr(0, headEnd);
  if (headEnd != std::string::npos) request.body = raw.substr(headEnd + 4);
  const size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  if (lineEnd != std::string::npos) request.headerText = head.substr(lineEnd + 2);
  const size_t space = requestLine.find(' ');
  request.method = requestLine.substr(0, space);
  if (space != std::string::npos) {
    const size_t secondSpace = requestLine.find(' ', space + 1);
    request.target = requestLine.substr(space + 1, secondSpace - space - 1);
  }
  return request;
}

}  // namespace

bool TestServer::Available() { return !Environment(L"ZELK_TEST_SERVER_PORT").empty() && !StateDir().empty(); }

std::wstring TestServer::HostAndPort() { return L"127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_PORT"); }

std::wstring TestServer::Url(const std::wstring& pathAndQuery) { return L"http://" + HostAndPort() + pathAndQuery; }

std::wstring TestServer::RefusedUrl(const std::wstring& pathAndQuery) {
  return L"http://127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_REFUSED_PORT") + pathAndQuery;
}

std::wstring TestServer::UnansweredUrl(const std::wstring& pathAndQuery) {
  return L"http://127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_UNANSWERED_PORT") + pathAndQuery;
}

std::wstring TestServer::HttpsUrl(const std::wstring& pathAndQuery) {
  return L"https://127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_HTTPS_PORT") + pathAndQuery;
}

std::wstring TestServer::UntrustedHttpsUrl(const std::wstring& pathAndQuery) {
  return L"https://127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_UNTRUSTED_PORT") + pathAndQuery;
}

std::wstring TestServer::IncompleteChainHttpsUrl(const std::wstring& pathAndQuery) {
  return L"https://127.0.0.1:" + Environment(L"ZELK_TEST_SERVER_INCOMPLETE_PORT") + pathAndQuery;
}

std::wstring TestServer::ProxyHostAndPort() {
  const std::wstring port = Environment(L"ZELK_TEST_PROXY_PORT");
  return port.empty() ? std::wstring() : L"127.0.0.1:" + port;
}

std::string TestServer::ProxyLog() {
  std::string text;
  ReadFileBytes(Environment(L"ZELK_TEST_PROXY_LOG"), text);
  return text;
}

std::wstring TestServer::FilesDir() { return StateDir() + L"\\files"; }

std::vector<RecordedRequest> TestServer::Requests(const std::string& pathPrefix) {
  const std::wstring folder = StateDir() + L"\\requests\\";
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found = {};
  const HANDLE search = FindFirstFileW((folder + L"*.txt").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  // Names are zero-padded sequence numbers.
  std::sort(names.begin(), names.end());
  std::vector<RecordedRequest> requests;
  for (const auto& name : names) {
    std::string raw;
    if (!ReadFileBytes(folder + name, raw)) continue;
    RecordedRequest request = ParseRecord(raw);
    if (request.target.compare(0, pathPrefix.size(), pathPrefix) != 0) continue;
    const std::wstring stem = folder + name.substr(0, name.size() - 4);
    std::string sent;
    if (ReadFileBytes(stem + L".sent", sent)) request.bodyBytesSent = std::strtoll(sent.c_str(), nullptr, 10);
    // The server writes the marker before the record itself.
    request.overTls = GetFileAttributesW((stem + L".tls").c_str()) != INVALID_FILE_ATTRIBUTES;
    requests.push_back(std::move(request));
  }
  return requests;
}

std::string TestServer::PatternBytes(size_t offset, size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    const size_t at = offset + i;
    bytes[i] = static_cast<char>((at * 7 + at / 251 + seed) & 0xFF);
  }
  return bytes;
}

std::string TestServer::PathForCurrentTest(const std::string& root) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return root + "/" + name;
}

}  // namespace zelk::test
