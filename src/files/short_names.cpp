#include "files/short_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "files/library_paths.h"

namespace {

constexpr size_t kStemChars = 8;
constexpr size_t kExtensionChars = 3;
constexpr size_t kAliasPrefixChars = 6;
constexpr const char* kSpecialChars = "$%'-_@~`!(){}^#&";

bool IsValidShortChar(unsigned char c) {
  if (c >= 0x80 || c == 0) return false;
  return std::isalnum(c) || std::strchr(kSpecialChars, c) != nullptr;
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Spaces and dots are left out, any other invalid character becomes "_"
// (a multi-byte character counts once).
std::string CleanPart(const std::string& part) {
  std::string out;
  for (unsigned char c : part) {
    if (c == ' ' || c == '.') continue;
    if (c >= 0x80 && c < 0xC0) continue;  // continuation byte of a multi-byte character
    out.push_back(IsValidShortChar(c) ? static_cast<char>(std::toupper(c)) : '_');
  }
  return out;
}

void SplitName(const std::string& name, std::string& stem, std::string& extension, bool& hasDot) {
  const size_t dot = name.rfind('.');
  hasDot = dot != std::string::npos && dot != 0;
  stem = hasDot ? name.substr(0, dot) : name;
  extension = hasDot ? name.substr(dot + 1) : "";
}

bool IsTaken(const ShortNameTable& table, const std::string& alias) {
  return table.used.count(alias) != 0 || table.reserved.count(alias) != 0;
}

std::string MakeAlias(ShortNameTable& table, const std::string& name) {
  std::string stem, extension;
  bool hasDot = false;
  SplitName(name, stem, extension, hasDot);
  std::string base = CleanPart(stem).substr(0, kAliasPrefixChars);
  if (base.empty()) base.assign(1, '_');
  const std::string ext = CleanPart(extension).substr(0, kExtensionChars);
  for (int n = 1;; ++n) {
    std::string number(1, '~');
    number += std::to_string(n);
    const size_t prefixChars = std::min(base.size(), kStemChars - std::min(kStemChars - 1, number.size()));
    std::string alias = base.substr(0, prefixChars);
    alias += number;
    if (!ext.empty()) {
      alias += '.';
      alias += ext;
    }
    if (!IsTaken(table, alias)) return alias;
  }
}

}  // namespace

bool FitsShortName(const std::string& name) {
  if (name.empty() || name.front() == '.' || name.back() == '.') return false;
  const size_t dot = name.find('.');
  if (dot != name.rfind('.')) return false;
  const std::string stem = name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (stem.empty() || stem.size() > kStemChars || extension.size() > kExtensionChars) return false;
  for (unsigned char c : stem + extension) {
    if (!IsValidShortChar(c)) return false;
  }
  return true;
}

ShortNameTable BeginShortNames(const std::vector<std::string>& folderNames) {
  ShortNameTable table;
  for (const std::string& name : folderNames) {
    if (FitsShortName(name)) table.reserved.insert(Upper(name));
  }
  return table;
}

std::string NextShortName(ShortNameTable& table, const std::string& name) {
  std::string alias;
  if (FitsShortName(name) && table.used.count(Upper(name)) == 0) {
    alias = Upper(name);
  } else {
    alias = MakeAlias(table, name);
  }
  table.used.insert(alias);
  return alias;
}

std::string ShortDisplayName(const std::string& fullPath) {
  const size_t slash = fullPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : fullPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder)) {
    if (entry.isRegularFile) names.push_back(entry.name);
  }
  ShortNameTable table = BeginShortNames(names);
  for (const std::string& other : names) {
    const std::string alias = NextShortName(table, other);
    if (other == name) return alias;
  }
  // Not in the listing (gone meanwhile): its alias as the first of its kind.
  return NextShortName(table, name);
}
