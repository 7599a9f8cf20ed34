#pragma once
// Where the program finds its data and its ephemeris libraries.

#include <string>

namespace tellurim {

// Directory holding the running executable ("" if unknown).
std::string executable_dir();
// When `exe_dir` is the bin/ directory of an installation (<prefix>/bin beside
// <prefix>/share/tellurim), <prefix>/`relative`; otherwise "" (a build tree, or unknown).
std::string installed_directory(const std::string& exe_dir, const char* relative);
// The "base" directory of the default paths: with TELLURIM_DEV set, the value of
// OWLNEXT_TELLURIM (or "/tmp" when unset); otherwise the installed data directory
// (<prefix>/share/tellurim, found from the executable's own location, so that an
// installation can be moved) or, from the build tree, the source tree's data/.
std::string base_directory();
// Directory of the ephemeris libraries: TELLURIM_LIB_DIR when set, else next to the
// executable in the build tree, or <prefix>/lib/tellurim when installed.
std::string library_directory();
std::string join_path(const std::string& a, const std::string& b);
std::string tellurim_version();

}  // namespace tellurim
