#include "platform/kernel/sandbox.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kDriverDirectory = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
constexpr const char16_t* kDefaultCurrentDirectory = u"C:\\";
// Folders every sandbox root starts with.
constexpr const char16_t* kStandardFolders[] = {u"C:\\Windows\\System32\\spool\\drivers\\x64\\3",
                                                u"C:\\Windows\\Temp"};

struct Mount {
  std::vector<std::u16string> key;  // upper-cased root and names of the platform folder
  std::u16string platformDir;
  std::string hostDir;
};

struct SandboxState {
  std::recursive_mutex lock;
  std::string root;
  bool rootIsDefault = false;
  std::vector<Mount> mounts;
  std::u16string currentDirectory = kDefaultCurrentDirectory;
};

SandboxState& State() {
  static SandboxState state;
  return state;
}

void ResetCurrentDirectory() {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.currentDirectory = kDefaultCurrentDirectory;
}
const bool registered = (SimAddResetHook(&ResetCurrentDirectory), true);

void RemoveDefaultRoot() {
  SandboxState& s = State();
  if (s.rootIsDefault && !s.root.empty()) {
    std::error_code ec;
    fs::remove_all(s.root, ec);
  }
}

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) c = UpcaseChar(c);
  return text;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsValidNameChar(char16_t c, bool allowWildcards) {
  if (c < 0x20) return false;
  switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'|':
      return false;
    case u'*': case u'?':
      return allowWildcards;
    default:
      return true;
  }
}

// A path split into its root ("C:" or "\\server\share") and its names.
struct SplitPath {
  std::u16string root;
  std::vector<std::u16string> names;
};

std::vector<std::u16string> SplitNames(std::u16string_view text) {
  std::vector<std::u16string> names;
  std::u16string current;
  for (char16_t c : text) {
    if (IsSeparator(c)) {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

// Applies "." and "..", drops the trailing dots and blanks the platform drops from names.
void AppendNames(std::vector<std::u16string>& out, const std::vector<std::u16string>& names) {
  for (std::u16string name : names) {
    if (name == u".") continue;
    if (name == u"..") {
      if (!out.empty()) out.pop_back();
      continue;
    }
    while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.pop_back();
    if (!name.empty()) out.push_back(name);
  }
}

bool SplitFull(std::u16string_view full, SplitPath& out) {
  if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
    std::vector<std::u16string> names = SplitNames(full.substr(2));
    if (names.size() < 2) return false;
    out.root = u"\\\\" + names[0] + u"\\" + names[1];
    names.erase(names.begin(), names.begin() + 2);
    AppendNames(out.names, names);
    return true;
  }
  if (full.size() >= 2 && full[1] == u':' && ((full[0] >= u'A' && full[0] <= u'Z') || (full[0] >= u'a' && full[0] <= u'z'))) {
    out.root = std::u16string(1, UpcaseChar(full[0])) + u":";
    AppendNames(out.names, SplitNames(full.substr(2)));
    return true;
  }
  return false;
}

std::u16string JoinFull(const SplitPath& p) {
  std::u16string full = p.root;
  if (p.names.empty()) return full + u"\\";
  for (const std::u16string& name : p.names) full += u"\\" + name;
  return full;
}

// Makes a platform path absolute against the current directory and splits it.
bool SplitAbsolute(SandboxState& s, std::u16string path, SplitPath& out) {
  if (path.size() >= 4 && path.compare(0, 4, u"\\\\?\\") == 0) path.erase(0, 4);
  if (path.empty()) return false;
  bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  bool drive = path.size() >= 2 && path[1] == u':';
  if (unc) return SplitFull(path, out);
  if (drive) {
    bool sameDrive = UpcaseChar(path[0]) == UpcaseChar(s.currentDirectory[0]) && s.currentDirectory[1] == u':';
    if (path.size() == 2 || !IsSeparator(path[2])) {
      // A drive-relative path: relative to the current directory on that drive, or its root.
      std::u16string base = sameDrive ? s.currentDirectory : path.substr(0, 2) + u"\\";
      return SplitFull(base + u"\\" + path.substr(2), out);
    }
    return SplitFull(path, out);
  }
  SplitPath current;
  if (!SplitFull(s.currentDirectory, current)) return false;
  if (IsSeparator(path[0])) return SplitFull(current.root + path, out);
  return SplitFull(s.currentDirectory + u"\\" + path, out);
}

// The name in `dir` that matches `name` case-insensitively, searched entry by entry, or
// `name` itself.
std::string SearchName(const std::string& dir, const std::u16string& name, std::string wanted) {
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return wanted;
  while (dirent* e = ::readdir(d)) {
    if (EqualNoCaseW(Utf8ToUtf16(e->d_name), name)) {
      wanted = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return wanted;
}

// The on-disk name in `dir` that matches `name` case-insensitively, or `name` itself.
std::string MatchName(const std::string& dir, const std::u16string& name) {
  std::string wanted = Utf16ToUtf8(name);
  struct stat st;
  if (::lstat((dir + "/" + wanted).c_str(), &st) == 0) return wanted;
  return SearchName(dir, name, std::move(wanted));
}

std::string EnsureRoot(SandboxState& s);

std::string HostOf(SandboxState& s, const SplitPath& p) {
  const Mount* best = nullptr;
  for (const Mount& m : s.mounts) {
    if (m.key.size() > p.names.size() + 1 || (best != nullptr && m.key.size() <= best->key.size())) continue;
    bool same = EqualNoCaseW(m.key[0], p.root);
    for (size_t i = 1; same && i < m.key.size(); ++i) same = EqualNoCaseW(m.key[i], p.names[i - 1]);
    if (same) best = &m;
  }
  std::string host;
  size_t first;
  if (best != nullptr) {
    host = best->hostDir;
    first = best->key.size() - 1;
  } else {
    host = EnsureRoot(s);
    if (p.root[0] == u'\\') {
      host += "/UNC";
      std::vector<std::u16string> share = SplitNames(p.root);
      for (const std::u16string& name : share) host += "/" + MatchName(host, name);
    } else {
      host += "/" + Utf16ToUtf8(p.root.substr(0, 1));
    }
    first = 0;
  }
  // Most names are given as they are on disk: when the whole path, or all of it but its last
  // name, exists as given, every name before is its own match and only the rest is looked up.
  const size_t count = p.names.size() - first;
  if (count > 0) {
    std::string given = host;
    size_t lastStart = 0;
    for (size_t i = first; i < p.names.size(); ++i) {
      lastStart = given.size();
      given += "/" + Utf16ToUtf8(p.names[i]);
    }
    struct stat st;
    if (::lstat(given.c_str(), &st) == 0) return given;
    if (count > 1) {
      // The last name is not on disk as given: only a search of its directory can find it.
      const std::string parent = given.substr(0, lastStart);
      if (::lstat(parent.c_str(), &st) == 0)
        return parent + "/" + SearchName(parent, p.names.back(), given.substr(lastStart + 1));
    }
  }
  for (size_t i = first; i < p.names.size(); ++i) host += "/" + MatchName(host, p.names[i]);
  return host;
}

void MakeStandardFolders(SandboxState& s) {
  for (const char16_t* folder : kStandardFolders) {
    SplitPath p;
    SplitFull(folder, p);
    std::error_code ec;
    fs::create_directories(HostOf(s, p), ec);
  }
}

std::string EnsureRoot(SandboxState& s) {
  if (s.root.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/qvsandbox-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) {
      s.root = buffer.data();
      s.rootIsDefault = true;
      std::atexit(&RemoveDefaultRoot);
      MakeStandardFolders(s);
    }
  }
  return s.root;
}

}  // namespace

BOOL SandboxResolve(LPCWSTR path, bool allowWildcards, std::u16string* full, std::string* host, DWORD* error) {
  DWORD failure = ERROR_PATH_NOT_FOUND;
  if (path != nullptr && path[0] != 0) {
    SandboxState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    SplitPath p;
    if (SplitAbsolute(s, path, p)) {
      bool valid = true;
      for (size_t i = 0; i < p.names.size() && valid; ++i)
        for (char16_t c : p.names[i])
          if (!IsValidNameChar(c, allowWildcards && i + 1 == p.names.size())) valid = false;
      if (valid) {
        if (full != nullptr) *full = JoinFull(p);
        if (host != nullptr) *host = HostOf(s, p);
        return TRUE;
      }
      failure = ERROR_INVALID_NAME;
    }
  }
  if (error != nullptr) *error = failure;
  return FALSE;
}

void SimSetSandboxRoot(const std::string& hostDir) {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::error_code ec;
  fs::create_directories(hostDir, ec);
  RemoveDefaultRoot();
  s.root = fs::absolute(hostDir, ec).lexically_normal().string();
  while (s.root.size() > 1 && s.root.back() == '/') s.root.pop_back();
  s.rootIsDefault = false;
  MakeStandardFolders(s);
}

std::string SimSandboxRoot() {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return EnsureRoot(s);
}

void SimMountDirectory(LPCWSTR platformDir, const std::string& hostDir) {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  SplitPath p;
  if (platformDir == nullptr || !SplitAbsolute(s, platformDir, p)) return;
  Mount m;
  m.key.push_back(Upper(p.root));
  for (const std::u16string& name : p.names) m.key.push_back(Upper(name));
  m.platformDir = JoinFull(p);
  std::error_code ec;
  m.hostDir = fs::absolute(hostDir, ec).lexically_normal().string();
  while (m.hostDir.size() > 1 && m.hostDir.back() == '/') m.hostDir.pop_back();
  std::erase_if(s.mounts, [&](const Mount& old) { return old.key == m.key; });
  s.mounts.push_back(std::move(m));
}

void SimUnmountAll() {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.mounts.clear();
}

std::string SimHostPath(LPCWSTR platformPath) {
  std::string host;
  return SandboxResolve(platformPath, false, nullptr, &host, nullptr) ? host : std::string();
}

std::u16string SimPlatformPath(const std::string& hostPath) {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  std::error_code ec;
  fs::path host = fs::absolute(hostPath, ec).lexically_normal();
  auto relativeTo = [&](const std::string& base, fs::path& rest) {
    fs::path r = host.lexically_relative(base);
    if (r.empty() || *r.begin() == "..") return false;
    rest = r == "." ? fs::path() : r;
    return true;
  };
  auto append = [](std::u16string out, const fs::path& rest) {
    for (const fs::path& part : rest) {
      if (part.empty()) continue;
      if (out.empty() || out.back() != u'\\') out += u'\\';
      out += Utf8ToUtf16(part.string());
    }
    return out;
  };
  const Mount* best = nullptr;
  fs::path bestRest;
  for (const Mount& m : s.mounts) {
    fs::path rest;
    if (relativeTo(m.hostDir, rest) && (best == nullptr || m.hostDir.size() > best->hostDir.size())) {
      best = &m;
      bestRest = rest;
    }
  }
  if (best != nullptr) return append(best->platformDir, bestRest);
  fs::path rest;
  if (!relativeTo(EnsureRoot(s), rest) || rest.empty()) return u"";
  auto it = rest.begin();
  std::string top = it->string();
  ++it;
  fs::path tail;
  for (; it != rest.end(); ++it) tail /= *it;
  if (top.size() == 1 && std::isalpha(static_cast<unsigned char>(top[0])))
    return append(Utf8ToUtf16(top) + u":\\", tail);
  if (top == "UNC") {
    auto t = tail.begin();
    if (std::distance(tail.begin(), tail.end()) < 2) return u"";
    std::u16string out = u"\\\\" + Utf8ToUtf16(t->string());
    ++t;
    out += u"\\" + Utf8ToUtf16(t->string());
    ++t;
    fs::path more;
    for (; t != tail.end(); ++t) more /= *t;
    return append(out, more);
  }
  return u"";
}

LPCWSTR SimDriverDirectory() { return kDriverDirectory; }

void SimInstallDriverFiles(const std::string& hostDir) {
  std::string target = SimHostPath(kDriverDirectory);
  std::error_code ec;
  fs::create_directories(target, ec);
  for (const fs::directory_entry& entry : fs::directory_iterator(hostDir, ec)) {
    fs::path link = fs::path(target) / entry.path().filename();
    fs::remove(link, ec);
    fs::create_symlink(fs::absolute(entry.path()), link, ec);
  }
}

DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer) {
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  DWORD length = static_cast<DWORD>(s.currentDirectory.size());
  if (buffer == nullptr || bufferLength <= length) return length + 1;
  lstrcpynW(buffer, s.currentDirectory.c_str(), static_cast<int>(length + 1));
  return length;
}

BOOL SetCurrentDirectoryW(LPCWSTR path) {
  std::u16string full;
  std::string host;
  DWORD error;
  if (!SandboxResolve(path, false, &full, &host, &error)) {
    SetLastError(error);
    return FALSE;
  }
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  SandboxState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.currentDirectory = full;
  return TRUE;
}
