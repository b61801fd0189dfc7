// The test HTTP server (tests/server/http_server.py) as the tests see it.
// ctest starts it around a test executable when the test has the
// environment ZELK_TEST_SERVER=1 (tests/harness/wine-run.sh then runs the
// program through tests/server/with-server.sh); by hand:
//   ZELK_TEST_SERVER=1 tests/harness/wine-run.sh build/x86_64/harness build/x86_64/bin/download_tests.exe
// The server answers generated content shaped by query parameters (the
// script's header lists them: size, redirects, location, ranges,
// disposition, length, trickle, cut, stall, ...) and records the raw bytes
// of every request it receives. It answers the same over https on two more
// ports: one whose certificate chains to the run's test root, which the
// machine trusts while the run lasts, and one under a root nobody trusts
// (tests/server/with-server.sh).
#pragma once

#include <string>
#include <vector>

namespace zelk::test {

// One request as the server received it.
struct RecordedRequest {
  std::string method;
  std::string target;      // path and query as sent
  std::string headerText;  // the lines after the request line, "\r\n"-separated, without the blank line
  std::string body;
  std::string raw;  // everything, byte for byte
  bool overTls = false;  // came in on one of the https ports
  // Body bytes the answer handed to the socket; -1 until they have all
  // been handed over.
  long long bodyBytesSent = -1;
};

class TestServer {
 public:
  // Whether this run has a server (the environment names its port).
  static bool Available();

  // "http://127.0.0.1:<port>" followed by `pathAndQuery` (which starts with "/").
  static std::wstring Url(const std::wstring& pathAndQuery);
  static std::wstring HostAndPort();
  // A URL on a port of 127.0.0.1 where nothing listens.
  static std::wstring RefusedUrl(const std::wstring& pathAndQuery);
  // A URL on a port of 127.0.0.1 whose listener never accepts: connecting
  // neither succeeds nor fails, as with a server that is gone.
  static std::wstring UnansweredUrl(const std::wstring& pathAndQuery);
  // "https://127.0.0.1:<port>" + `pathAndQuery`, the server's certificate
  // under the trusted test root.
  static std::wstring HttpsUrl(const std::wstring& pathAndQuery);
  // The same, with a certificate under a root that no store holds.
  static std::wstring UntrustedHttpsUrl(const std::wstring& pathAndQuery);
  // The same, with a certificate under an intermediate of the trusted root
  // that the server leaves out, so the client cannot complete the chain.
  static std::wstring IncompleteChainHttpsUrl(const std::wstring& pathAndQuery);

  // Every recorded request whose path begins with `pathPrefix`, oldest
  // first. Requests are recorded before they are answered, so a request
  // whose answer has arrived is always in the list.
  static std::vector<RecordedRequest> Requests(const std::string& pathPrefix);

  // The folder whose files the server gives out under /files/<name>.
  static std::wstring FilesDir();

  // The bytes the server sends for "size=" with "seed=" `seed`, from `offset`.
  static std::string PatternBytes(size_t offset, size_t size, unsigned seed = 0);

  // Debian's tinyproxy, started beside the server: "127.0.0.1:<port>", or
  // "" when it did not start.
  static std::wstring ProxyHostAndPort();
  // Everything tinyproxy has logged so far. Each request it forwards adds
  // a line "Request (file descriptor N): GET http://host:port/path HTTP/1.1"
  // (or "CONNECT host:port HTTP/1.1" for https), and it adds a "Via:" line
  // naming "zelk-test-proxy" to the requests it passes on.
  static std::string ProxyLog();

  // `root` + "/" + the running gtest's suite and name: a path no other test
  // requests, so a test can pick its own requests out of the log.
  static std::string PathForCurrentTest(const std::string& root);
};

}  // namespace zelk::test
