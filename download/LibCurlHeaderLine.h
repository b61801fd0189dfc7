// What one response header line, as libcurl hands it to the header
// callback ("Name: value\r\n"), tells a download: the body's length or the
// file name the server offers.
#pragma once

#include <string>

namespace Kx {

struct LibCurlHeaderLine {
  // From "Content-Length"; 0 when the line gives none (or a value that is
  // not a plain decimal number).
  unsigned long long contentLength = 0;
  // From "Content-Disposition": the text after "filename=", up to a ";",
  // trimmed and still percent-escaped (quotes are kept).
  bool offersFileName = false;
  std::string escapedFileName;
};

LibCurlHeaderLine ParseLibCurlHeaderLine(const std::string& line);

}  // namespace Kx
