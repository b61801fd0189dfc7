// The package's download address, carried in the installer's own version
// resource (string "PrivateBuild") so that one build can be re-pointed by
// patching the resource.
#pragma once

#include <string>

// Used when the version resource has no PrivateBuild value at all.
extern const wchar_t kDefaultPackageUrl[];

// PrivateBuild of `modulePath`'s first translation, trimmed of blanks, tabs
// and line breaks; the default address when any step fails. A blank value
// gives an empty address.
std::wstring PackageUrlFromFile(const std::wstring& modulePath);

// The address for this process, read from its own executable.
std::wstring ReadPackageUrl();
