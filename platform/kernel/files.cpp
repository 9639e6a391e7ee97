#include "platform/kernel/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/time.h"

namespace {

constexpr const char16_t* kWindowsDirectory = u"C:\\Windows";
constexpr const char16_t* kSystemDirectory = u"C:\\Windows\\System32";
constexpr const char16_t* kDefaultTempPath = u"C:\\Windows\\Temp\\";
constexpr ULONGLONG kViewAlignment = 65536;  // the platform's allocation granularity
constexpr LONGLONG kUnixEpochTicks = 116444736000000000LL;

// A file's identity on the host, whatever name or link reached it.
struct FileKey {
  dev_t device;
  ino_t inode;
  bool operator<(const FileKey& o) const { return device != o.device ? device < o.device : inode < o.inode; }
};

struct Sharing {
  bool read, write, remove;  // access wanted
  DWORD share;
};

enum class RuleKind { FailOpen, FailWrite, ShortWrite, DiskFull };

struct PathRule {
  std::u16string pattern;  // upper case
  RuleKind kind;
  DWORD error;
  ULONGLONG budget;  // bytes still written before the cut
};

struct FileObject;

struct FilesState {
  std::recursive_mutex lock;
  std::multimap<FileKey, FileObject*> opens;
  std::map<FileKey, int> mapped;  // live mappings and views per file
  std::vector<PathRule> rules;
  std::map<std::u16string, std::u16string> shortNames;  // upper full path -> answer
  std::u16string tempPath = kDefaultTempPath;
  std::map<const void*, std::pair<size_t, FileKey>> views;
};

FilesState& State() {
  static FilesState state;
  return state;
}

void ResetFiles() {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.clear();
  s.shortNames.clear();
  s.tempPath = kDefaultTempPath;
}
const bool registered = (SimAddResetHook(&ResetFiles), true);

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) c = UpcaseChar(c);
  return text;
}

// Wildcard match of upper-cased texts: '*' any run, '?' one character.
bool Match(std::u16string_view pattern, std::u16string_view text) {
  size_t p = 0, t = 0, starP = std::u16string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starT = t;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// The platform's name match: a final ".*" also matches names without a dot.
bool MatchName(const std::u16string& pattern, const std::u16string& name) {
  if (Match(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, u".*") == 0 && name.find(u'.') == std::u16string::npos)
    return Match(std::u16string_view(pattern).substr(0, pattern.size() - 2), name);
  return false;
}

PathRule* FindRule(FilesState& s, const std::u16string& full, RuleKind kind) {
  std::u16string key = Upper(full);
  for (PathRule& r : s.rules)
    if (r.kind == kind && Match(r.pattern, key)) return &r;
  return nullptr;
}

PathRule* FindWriteLimit(FilesState& s, const std::u16string& full) {
  if (PathRule* r = FindRule(s, full, RuleKind::ShortWrite)) return r;
  return FindRule(s, full, RuleKind::DiskFull);
}

Sharing SharingOf(DWORD access, DWORD share) {
  return Sharing{(access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0,
                 (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0,
                 (access & (DELETE | GENERIC_ALL)) != 0, share};
}

bool Conflict(const Sharing& a, const Sharing& b) {
  // Opens without data access (attributes only) take no part in sharing.
  if (!(a.read || a.write || a.remove) || !(b.read || b.write || b.remove)) return false;
  return (a.read && !(b.share & FILE_SHARE_READ)) || (a.write && !(b.share & FILE_SHARE_WRITE)) ||
         (a.remove && !(b.share & FILE_SHARE_DELETE)) || (b.read && !(a.share & FILE_SHARE_READ)) ||
         (b.write && !(a.share & FILE_SHARE_WRITE)) || (b.remove && !(a.share & FILE_SHARE_DELETE));
}

FILETIME ToFileTime(const timespec& t) {
  LONGLONG v = static_cast<LONGLONG>(t.tv_sec) * 10000000 + t.tv_nsec / 100 + kUnixEpochTicks;
  return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(static_cast<ULONGLONG>(v) >> 32)};
}

timespec ToTimespec(const FILETIME& f) {
  LONGLONG v = static_cast<LONGLONG>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) - kUnixEpochTicks;
  timespec t;
  t.tv_sec = static_cast<time_t>(v >= 0 ? v / 10000000 : (v - 9999999) / 10000000);
  t.tv_nsec = static_cast<long>((v - static_cast<LONGLONG>(t.tv_sec) * 10000000) * 100);
  return t;
}

struct FileObject : KernelObject {
  FileObject() : KernelObject(HandleKind::File) {}
  ~FileObject() override;
  int fd = -1;
  FileKey key{};
  Sharing sharing{};
  std::string host;
  std::u16string full;
  bool deleteOnClose = false;
  bool wrote = false;
};

FileObject::~FileObject() {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto range = s.opens.equal_range(key);
  bool others = false;
  for (auto it = range.first; it != range.second;) {
    if (it->second == this) {
      it = s.opens.erase(it);
    } else {
      others = true;
      ++it;
    }
  }
  if (wrote) {
    // A written file carries the layer's clock as its last-write time.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(now)};
    ::futimens(fd, times);
  }
  if (fd >= 0) ::close(fd);
  if (!deleteOnClose) return;
  if (!others) {
    ::unlink(host.c_str());
  } else {
    // The file goes when the last handle to it closes.
    for (auto it = s.opens.lower_bound(key); it != s.opens.upper_bound(key); ++it) it->second->deleteOnClose = true;
  }
}

struct MappingObject : KernelObject {
  MappingObject() : KernelObject(HandleKind::Mapping) {}
  ~MappingObject() override {
    FilesState& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (--s.mapped[key] == 0) s.mapped.erase(key);
    if (fd >= 0) ::close(fd);
  }
  int fd = -1;
  FileKey key{};
  ULONGLONG size = 0;
};

struct FindEntry {
  std::u16string name;
  struct stat st;
};

struct FindObject : KernelObject {
  FindObject() : KernelObject(HandleKind::Find) {}
  std::vector<FindEntry> entries;
  size_t next = 0;
};

// Resolves a platform path for a file service, setting the platform's error on failure.
bool Resolve(LPCWSTR path, std::u16string& full, std::string& host, bool wildcards = false) {
  DWORD error;
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!SandboxResolve(path, wildcards, &full, &host, &error)) {
    SetLastError(error);
    return false;
  }
  return true;
}

std::string ParentOf(const std::string& host) {
  size_t slash = host.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : host.substr(0, slash);
}

bool IsDir(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The error for a path that does not exist: the file or a folder on the way is missing.
DWORD MissingError(const std::string& host) { return IsDir(ParentOf(host)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND; }

DWORD ErrorFromErrno(int e) {
  switch (e) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC: return ERROR_DISK_FULL;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    default: return ERROR_GEN_FAILURE;
  }
}

bool IsReadOnly(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

// Whether an open with `wanted` conflicts with the opens of `key`.
bool SharingConflict(FilesState& s, const FileKey& key, const Sharing& wanted) {
  for (auto it = s.opens.lower_bound(key); it != s.opens.upper_bound(key); ++it)
    if (Conflict(wanted, it->second->sharing)) return true;
  return false;
}

// Replaces a link into the build's folders by a private copy before the file is changed.
bool BreakLink(const std::string& host) {
  struct stat lst;
  if (::lstat(host.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return true;
  std::string copy = host + ".qvcopy";
  int in = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ::unlink(host.c_str()) == 0;  // a dangling link is simply dropped
  struct stat st;
  ::fstat(in, &st);
  int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
  bool ok = out >= 0;
  char buffer[65536];
  ssize_t n;
  while (ok && (n = ::read(in, buffer, sizeof(buffer))) > 0) ok = ::write(out, buffer, n) == n;
  ::close(in);
  if (out >= 0) ::close(out);
  return ok && ::rename(copy.c_str(), host.c_str()) == 0;
}

bool KeyOf(const std::string& host, FileKey& key, struct stat* out = nullptr) {
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return false;
  key = FileKey{st.st_dev, st.st_ino};
  if (out != nullptr) *out = st;
  return true;
}

std::u16string FromAnsi(LPCSTR text) {
  if (text == nullptr) return std::u16string();
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::u16string wide(n > 0 ? n : 1, u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.resize(lstrlenW(wide.c_str()));
  return wide;
}

// Copies text to an ANSI buffer; answers like the W form would for `text`.
DWORD ToAnsiBuffer(const std::u16string& text, LPSTR buffer, DWORD size) {
  int need = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (buffer == nullptr || static_cast<DWORD>(need) > size) return static_cast<DWORD>(need);
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, static_cast<int>(size), nullptr, nullptr);
  return static_cast<DWORD>(need - 1);
}

// The folder-query protocol: length written, or the size needed with the terminator.
DWORD CopyOut(const std::u16string& text, LPWSTR buffer, DWORD size) {
  DWORD length = static_cast<DWORD>(text.size());
  if (buffer == nullptr || size <= length) return length + 1;
  lstrcpynW(buffer, text.c_str(), static_cast<int>(length + 1));
  return length;
}

std::shared_ptr<FileObject> FindFile(HANDLE h) { return HandleGet<FileObject>(h, HandleKind::File); }

void FillFindData(const FindEntry& e, LPWIN32_FIND_DATAW data) {
  std::memset(data, 0, sizeof(*data));
  data->dwFileAttributes = S_ISDIR(e.st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!S_ISDIR(e.st.st_mode) && IsReadOnly(e.st)) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data->ftLastWriteTime = ToFileTime(e.st.st_mtim);
  data->ftCreationTime = data->ftLastWriteTime;
  data->ftLastAccessTime = ToFileTime(e.st.st_atim);
  ULONGLONG size = S_ISDIR(e.st.st_mode) ? 0 : static_cast<ULONGLONG>(e.st.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size);
  lstrcpynW(data->cFileName, e.name.c_str(), MAX_PATH);
}

void ToFindDataA(const WIN32_FIND_DATAW& w, LPWIN32_FIND_DATAA a) {
  std::memset(a, 0, sizeof(*a));
  a->dwFileAttributes = w.dwFileAttributes;
  a->ftCreationTime = w.ftCreationTime;
  a->ftLastAccessTime = w.ftLastAccessTime;
  a->ftLastWriteTime = w.ftLastWriteTime;
  a->nFileSizeHigh = w.nFileSizeHigh;
  a->nFileSizeLow = w.nFileSizeLow;
  WideCharToMultiByte(CP_ACP, 0, w.cFileName, -1, a->cFileName, MAX_PATH, nullptr, nullptr);
  a->cFileName[MAX_PATH - 1] = 0;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flags, HANDLE) {
  std::u16string full;
  std::string host;
  if (!Resolve(fileName, full, host)) return INVALID_HANDLE_VALUE;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
      (disposition == TRUNCATE_EXISTING && !SharingOf(access, 0).write)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (PathRule* rule = FindRule(s, full, RuleKind::FailOpen)) {
    SetLastError(rule->error);
    return INVALID_HANDLE_VALUE;
  }
  Sharing sharing = SharingOf(access, share);
  if (flags & FILE_FLAG_DELETE_ON_CLOSE) sharing.remove = true;
  FileKey key;
  struct stat st;
  bool exists = KeyOf(host, key, &st);
  if (!exists) {
    if (!IsDir(ParentOf(host))) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
  } else {
    if (S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (disposition == CREATE_NEW) {
      SetLastError(ERROR_FILE_EXISTS);
      return INVALID_HANDLE_VALUE;
    }
    bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (IsReadOnly(st) && (sharing.write || sharing.remove || truncates)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (SharingConflict(s, key, sharing)) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return INVALID_HANDLE_VALUE;
    }
    if (truncates && s.mapped.count(key) != 0) {
      SetLastError(ERROR_USER_MAPPED_FILE);
      return INVALID_HANDLE_VALUE;
    }
    if ((sharing.write || truncates) && !BreakLink(host)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  }
  bool truncating = exists && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
  int mode = sharing.write ? (sharing.read ? O_RDWR : O_WRONLY) : (truncating ? O_RDWR : O_RDONLY);
  int oflags = mode | O_CLOEXEC;
  if (!exists) oflags |= O_CREAT | O_EXCL;
  if (truncating) oflags |= O_TRUNC;
  int fd = ::open(host.c_str(), oflags, 0666);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (!exists && (flags & FILE_ATTRIBUTE_READONLY)) ::fchmod(fd, 0444);
  auto file = std::make_shared<FileObject>();
  file->fd = fd;
  struct stat now;
  ::fstat(fd, &now);
  file->key = FileKey{now.st_dev, now.st_ino};
  file->sharing = sharing;
  file->host = host;
  file->full = full;
  file->deleteOnClose = (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0;
  file->wrote = !exists || (oflags & O_TRUNC) != 0;
  s.opens.emplace(file->key, file.get());
  SetLastError(exists && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS : NO_ERROR);
  return HandleInsert(file);
}

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(FromAnsi(fileName).c_str(), access, share, security, disposition, flags, templateFile);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (bytesRead == nullptr && overlapped == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (bytesRead != nullptr) *bytesRead = 0;
  if (buffer == nullptr && bytesToRead > 0) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  if (!f->sharing.read) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  ssize_t n;
  if (overlapped != nullptr) {
    off_t at = static_cast<off_t>((static_cast<ULONGLONG>(overlapped->OffsetHigh) << 32) | overlapped->Offset);
    n = ::pread(f->fd, buffer, bytesToRead, at);
    if (n >= 0) ::lseek(f->fd, at + n, SEEK_SET);
  } else {
    n = ::read(f->fd, buffer, bytesToRead);
  }
  if (n < 0) {
    SetLastError(ERROR_READ_FAULT);
    return FALSE;
  }
  if (bytesRead != nullptr) *bytesRead = static_cast<DWORD>(n);
  if (overlapped != nullptr) overlapped->InternalHigh = static_cast<ULONG_PTR>(n);
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (bytesWritten == nullptr && overlapped == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (bytesWritten != nullptr) *bytesWritten = 0;
  if (buffer == nullptr && bytesToWrite > 0) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  if (!f->sharing.write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  FilesState& s = State();
  DWORD allowed = bytesToWrite;
  PathRule* limit = nullptr;
  {
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (PathRule* fail = FindRule(s, f->full, RuleKind::FailWrite)) {
      SetLastError(fail->error);
      return FALSE;
    }
    limit = FindWriteLimit(s, f->full);
    if (limit != nullptr && limit->budget < allowed) allowed = static_cast<DWORD>(limit->budget);
  }
  ssize_t n;
  if (overlapped != nullptr) {
    off_t at = static_cast<off_t>((static_cast<ULONGLONG>(overlapped->OffsetHigh) << 32) | overlapped->Offset);
    n = ::pwrite(f->fd, buffer, allowed, at);
    if (n >= 0) ::lseek(f->fd, at + n, SEEK_SET);
  } else {
    n = ::write(f->fd, buffer, allowed);
  }
  if (n < 0) {
    SetLastError(ErrorFromErrno(errno) == ERROR_DISK_FULL ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    return FALSE;
  }
  f->wrote = true;
  if (bytesWritten != nullptr) *bytesWritten = static_cast<DWORD>(n);
  if (overlapped != nullptr) overlapped->InternalHigh = static_cast<ULONG_PTR>(n);
  if (limit != nullptr) {
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    limit->budget -= static_cast<ULONGLONG>(n);
    if (static_cast<DWORD>(n) < bytesToWrite && limit->kind == RuleKind::DiskFull) {
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
  }
  return TRUE;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* newPosition, DWORD moveMethod) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  LONGLONG base;
  if (moveMethod == FILE_BEGIN) {
    base = 0;
  } else if (moveMethod == FILE_CURRENT) {
    base = ::lseek(f->fd, 0, SEEK_CUR);
  } else if (moveMethod == FILE_END) {
    struct stat st;
    ::fstat(f->fd, &st);
    base = st.st_size;
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LONGLONG target = base + distance.QuadPart;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return FALSE;
  }
  ::lseek(f->fd, target, SEEK_SET);
  if (newPosition != nullptr) newPosition->QuadPart = target;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  LARGE_INTEGER move, result;
  move.QuadPart = distanceHigh != nullptr
                      ? static_cast<LONGLONG>((static_cast<ULONGLONG>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                              static_cast<DWORD>(distance))
                      : distance;
  if (!SetFilePointerEx(file, move, &result, moveMethod)) return INVALID_SET_FILE_POINTER;
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(result.QuadPart >> 32);
  DWORD low = static_cast<DWORD>(result.QuadPart);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return low;
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (size == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  struct stat st;
  ::fstat(f->fd, &st);
  size->QuadPart = st.st_size;
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) return INVALID_FILE_SIZE;
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size.QuadPart >> 32);
  DWORD low = static_cast<DWORD>(size.QuadPart);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

BOOL SetEndOfFile(HANDLE file) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (!f->sharing.write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::ftruncate(f->fd, ::lseek(f->fd, 0, SEEK_CUR)) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  f->wrote = true;
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (!f->sharing.write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}

BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  struct stat st;
  ::fstat(f->fd, &st);
  if (creation != nullptr) *creation = ToFileTime(st.st_mtim);
  if (lastAccess != nullptr) *lastAccess = ToFileTime(st.st_atim);
  if (lastWrite != nullptr) *lastWrite = ToFileTime(st.st_mtim);
  return TRUE;
}

BOOL SetFileTime(HANDLE file, const FILETIME*, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return FALSE;
  if (!f->sharing.write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
  if (lastAccess != nullptr) times[0] = ToTimespec(*lastAccess);
  if (lastWrite != nullptr) {
    times[1] = ToTimespec(*lastWrite);
    f->wrote = false;  // the caller's time stays
  }
  ::futimens(f->fd, times);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR fileName) {
  std::u16string full;
  std::string host;
  if (!Resolve(fileName, full, host)) return FALSE;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  struct stat lst;
  if (::lstat(host.c_str(), &lst) != 0) {
    SetLastError(MissingError(host));
    return FALSE;
  }
  FileKey key;
  struct stat st;
  if (KeyOf(host, key, &st)) {
    if (S_ISDIR(st.st_mode) || (!S_ISLNK(lst.st_mode) && IsReadOnly(st))) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (SharingConflict(s, key, Sharing{false, false, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE})) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
    if (s.mapped.count(key) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  if (::unlink(host.c_str()) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return DeleteFileW(FromAnsi(fileName).c_str());
}

namespace {

// Copies a host file's bytes, mode and times to a new host file.
bool CopyHostFile(const std::string& from, const std::string& to, DWORD& error) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = ErrorFromErrno(errno);
    return false;
  }
  struct stat st;
  ::fstat(in, &st);
  ::unlink(to.c_str());
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool ok = out >= 0;
  char buffer[65536];
  ssize_t n;
  while (ok && (n = ::read(in, buffer, sizeof(buffer))) > 0) ok = ::write(out, buffer, n) == n;
  if (ok) {
    timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    ::fchmod(out, st.st_mode & 0777);
  }
  error = ok ? NO_ERROR : ErrorFromErrno(errno);
  ::close(in);
  if (out >= 0) ::close(out);
  return ok;
}

}  // namespace

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags) {
  std::u16string fromFull, toFull;
  std::string from, to;
  if (!Resolve(existing, fromFull, from) || !Resolve(newName, toFull, to)) return FALSE;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) {
    SetLastError(MissingError(from));
    return FALSE;
  }
  FileKey key;
  Sharing moving{false, false, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
  if (KeyOf(from, key) && SharingConflict(s, key, moving)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  struct stat target;
  bool sameFile = ::stat(to.c_str(), &target) == 0 && ::stat(from.c_str(), &st) == 0 && target.st_ino == st.st_ino &&
                  target.st_dev == st.st_dev;
  if (::lstat(to.c_str(), &target) == 0 && !sameFile) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    FileKey targetKey;
    if (S_ISDIR(target.st_mode) || (KeyOf(to, targetKey) && (SharingConflict(s, targetKey, moving) || s.mapped.count(targetKey)))) {
      SetLastError(S_ISDIR(target.st_mode) ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  }
  if (!IsDir(ParentOf(to))) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (::rename(from.c_str(), to.c_str()) == 0) return TRUE;
  if (errno == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) && !S_ISDIR(st.st_mode)) {
    DWORD error;
    if (CopyHostFile(from, to, error) && ::unlink(from.c_str()) == 0) return TRUE;
    SetLastError(error);
    return FALSE;
  }
  SetLastError(ErrorFromErrno(errno));
  return FALSE;
}

BOOL MoveFileW(LPCWSTR existing, LPCWSTR newName) { return MoveFileExW(existing, newName, 0); }

BOOL MoveFileA(LPCSTR existing, LPCSTR newName) {
  if (existing == nullptr || newName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return MoveFileExW(FromAnsi(existing).c_str(), FromAnsi(newName).c_str(), 0);
}

BOOL CopyFileW(LPCWSTR existing, LPCWSTR newName, BOOL failIfExists) {
  std::u16string fromFull, toFull;
  std::string from, to;
  if (!Resolve(existing, fromFull, from) || !Resolve(newName, toFull, to)) return FALSE;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  for (const std::u16string* path : {&fromFull, &toFull}) {
    if (PathRule* rule = FindRule(s, *path, RuleKind::FailOpen)) {
      SetLastError(rule->error);
      return FALSE;
    }
  }
  FileKey key;
  struct stat st;
  if (!KeyOf(from, key, &st)) {
    SetLastError(MissingError(from));
    return FALSE;
  }
  if (S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (SharingConflict(s, key, Sharing{true, false, false, FILE_SHARE_READ})) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  FileKey targetKey;
  struct stat target;
  if (KeyOf(to, targetKey, &target)) {
    if (failIfExists) {
      SetLastError(ERROR_FILE_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(target.st_mode) || IsReadOnly(target)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (targetKey.device == key.device && targetKey.inode == key.inode) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
    if (SharingConflict(s, targetKey, Sharing{false, true, false, 0}) || s.mapped.count(targetKey) != 0) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  } else if (!IsDir(ParentOf(to))) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  DWORD error;
  if (!CopyHostFile(from, to, error)) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists) {
  if (existing == nullptr || newName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return CopyFileW(FromAnsi(existing).c_str(), FromAnsi(newName).c_str(), failIfExists);
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (SimCallFails("CreateDirectoryW")) return FALSE;
  std::u16string full;
  std::string host;
  if (!Resolve(pathName, full, host)) return FALSE;
  struct stat st;
  if (::lstat(host.c_str(), &st) == 0) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (!IsDir(ParentOf(host))) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (::mkdir(host.c_str(), 0777) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security) {
  if (pathName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return CreateDirectoryW(FromAnsi(pathName).c_str(), security);
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
  std::u16string full;
  std::string host;
  if (!Resolve(pathName, full, host)) return FALSE;
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) {
    SetLastError(MissingError(host));
    return FALSE;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  if (::rmdir(host.c_str()) != 0) {
    SetLastError(errno == ENOTEMPTY || errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (pathName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return RemoveDirectoryW(FromAnsi(pathName).c_str());
}

DWORD GetFileAttributesW(LPCWSTR fileName) {
  std::u16string full;
  std::string host;
  if (!Resolve(fileName, full, host)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) {
    SetLastError(MissingError(host));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return FILE_ATTRIBUTE_ARCHIVE | (IsReadOnly(st) ? FILE_ATTRIBUTE_READONLY : 0);
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  return GetFileAttributesW(FromAnsi(fileName).c_str());
}

BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
  std::u16string full;
  std::string host;
  if (!Resolve(fileName, full, host)) return FALSE;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) {
    SetLastError(MissingError(host));
    return FALSE;
  }
  if (S_ISDIR(st.st_mode)) return TRUE;
  if (!BreakLink(host) || ::stat(host.c_str(), &st) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & 0555) : (st.st_mode | S_IWUSR);
  if (::chmod(host.c_str(), mode) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
  std::u16string full;
  std::string host;
  if (findData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (!Resolve(fileName, full, host, true)) return INVALID_HANDLE_VALUE;
  size_t lastSep = full.find_last_of(u'\\');
  std::u16string pattern = Upper(full.substr(lastSep + 1));
  bool driveRoot = full.find(u'\\', 2) == lastSep && full[0] != u'\\';
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string dir = ParentOf(host);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto find = std::make_shared<FindObject>();
  while (dirent* e = ::readdir(d)) {
    std::u16string name = Utf8ToUtf16(e->d_name);
    if ((name == u"." || name == u"..") && driveRoot) continue;
    if (!MatchName(pattern, Upper(name))) continue;
    FindEntry entry;
    entry.name = name;
    if (::stat((dir + "/" + e->d_name).c_str(), &entry.st) != 0) continue;  // a dangling link
    find->entries.push_back(entry);
  }
  ::closedir(d);
  if (find->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(find->entries.begin(), find->entries.end(), [](const FindEntry& a, const FindEntry& b) {
    auto rank = [](const std::u16string& n) { return n == u"." ? 0 : n == u".." ? 1 : 2; };
    if (rank(a.name) != rank(b.name)) return rank(a.name) < rank(b.name);
    return Upper(a.name) < Upper(b.name);
  });
  FillFindData(find->entries[0], findData);
  find->next = 1;
  return HandleInsert(find);
}

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
  if (fileName == nullptr || findData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  WIN32_FIND_DATAW wide;
  HANDLE h = FindFirstFileW(FromAnsi(fileName).c_str(), &wide);
  if (h != INVALID_HANDLE_VALUE) ToFindDataA(wide, findData);
  return h;
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData) {
  std::shared_ptr<FindObject> f = HandleGet<FindObject>(find, HandleKind::Find);
  if (f == nullptr) return FALSE;
  if (findData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (f->next >= f->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  FillFindData(f->entries[f->next++], findData);
  return TRUE;
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA findData) {
  if (findData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WIN32_FIND_DATAW wide;
  if (!FindNextFileW(find, &wide)) return FALSE;
  ToFindDataA(wide, findData);
  return TRUE;
}

BOOL FindClose(HANDLE find) { return HandleRemove(find, HandleKind::Find); }

DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) {
  if (SimCallFails("GetTempPathW")) return 0;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return CopyOut(s.tempPath, buffer, bufferLength);
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  WCHAR wide[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, wide);
  if (n == 0 || n > MAX_PATH) return n;
  return ToAnsiBuffer(wide, buffer, bufferLength);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  if (SimCallFails("GetWindowsDirectoryW")) return 0;
  return CopyOut(kWindowsDirectory, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  if (SimCallFails("GetWindowsDirectoryW")) return 0;
  return ToAnsiBuffer(kWindowsDirectory, buffer, size);
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
  if (SimCallFails("GetSystemDirectoryW")) return 0;
  return CopyOut(kSystemDirectory, buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  if (SimCallFails("GetSystemDirectoryW")) return 0;
  return ToAnsiBuffer(kSystemDirectory, buffer, size);
}

DWORD GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart) {
  std::u16string full;
  std::string host;
  if (!Resolve(fileName, full, host, true)) return 0;
  // A trailing separator in the request stays in the answer.
  size_t n = lstrlenW(fileName);
  if (n > 0 && (fileName[n - 1] == u'\\' || fileName[n - 1] == u'/') && full.back() != u'\\') full += u'\\';
  DWORD written = CopyOut(full, buffer, bufferLength);
  if (filePart != nullptr) {
    *filePart = nullptr;
    if (written < bufferLength && buffer != nullptr && full.back() != u'\\')
      *filePart = buffer + full.find_last_of(u'\\') + 1;
  }
  return written;
}

DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength) {
  if (longPath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (SimCallFails("GetShortPathNameW")) return 0;
  std::u16string full;
  std::string host;
  if (!Resolve(longPath, full, host)) return 0;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) {
    SetLastError(MissingError(host));
    return 0;
  }
  std::u16string answer = longPath;
  FilesState& s = State();
  {
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    auto scripted = s.shortNames.find(Upper(full));
    if (scripted != s.shortNames.end()) answer = scripted->second;
  }
  return CopyOut(answer, shortPath, bufferLength);
}

UINT GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName) {
  if (pathName == nullptr || tempFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (SimCallFails("GetTempFileNameW")) return 0;
  std::u16string full;
  std::string host;
  if (!Resolve(pathName, full, host)) return 0;
  if (!IsDir(host)) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  std::u16string base = pathName;
  if (base.back() != u'\\' && base.back() != u'/') base += u'\\';
  if (prefix != nullptr) base += std::u16string(prefix).substr(0, 3);
  auto nameFor = [&](UINT number) {
    return base + FormatHex(number & 0xFFFF, 1, true) + u".TMP";
  };
  if (base.size() + 8 >= MAX_PATH) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  if (unique != 0) {
    lstrcpyW(tempFileName, nameFor(unique).c_str());
    return unique & 0xFFFF;
  }
  UINT number = GetTickCount() & 0xFFFF;
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    if (number == 0) number = 1;
    std::u16string name = nameFor(number);
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      lstrcpyW(tempFileName, name.c_str());
      return number;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return 0;
    number = (number + 1) & 0xFFFF;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
  if (pathName == nullptr || tempFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WCHAR wide[MAX_PATH];
  std::u16string widePrefix = FromAnsi(prefix);
  UINT n = GetTempFileNameW(FromAnsi(pathName).c_str(), prefix != nullptr ? widePrefix.c_str() : nullptr, unique, wide);
  if (n != 0) ToAnsiBuffer(wide, tempFileName, MAX_PATH);
  return n;
}

HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR) {
  if (file == INVALID_HANDLE_VALUE || protect != PAGE_READONLY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<FileObject> f = FindFile(file);
  if (f == nullptr) return nullptr;
  if (!f->sharing.read) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  struct stat st;
  ::fstat(f->fd, &st);
  ULONGLONG wanted = (static_cast<ULONGLONG>(maximumSizeHigh) << 32) | maximumSizeLow;
  ULONGLONG size = wanted != 0 ? wanted : static_cast<ULONGLONG>(st.st_size);
  if (size == 0) {
    SetLastError(ERROR_FILE_INVALID);
    return nullptr;
  }
  if (size > static_cast<ULONGLONG>(st.st_size)) {
    // A read-only mapping cannot make the file longer.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto mapping = std::make_shared<MappingObject>();
  mapping->fd = ::dup(f->fd);
  mapping->key = f->key;
  mapping->size = size;
  FilesState& s = State();
  {
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    ++s.mapped[f->key];
  }
  SetLastError(NO_ERROR);
  return HandleInsert(mapping);
}

HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR) {
  return CreateFileMappingW(file, attributes, protect, maximumSizeHigh, maximumSizeLow, nullptr);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
  std::shared_ptr<MappingObject> m = HandleGet<MappingObject>(mapping, HandleKind::Mapping);
  if (m == nullptr) return nullptr;
  if ((desiredAccess & (FILE_MAP_WRITE | FILE_MAP_COPY)) != 0 || (desiredAccess & FILE_MAP_READ) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  ULONGLONG offset = (static_cast<ULONGLONG>(offsetHigh) << 32) | offsetLow;
  if (offset % kViewAlignment != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset >= m->size || (bytes != 0 && bytes > m->size - offset)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  size_t length = bytes != 0 ? bytes : static_cast<size_t>(m->size - offset);
  void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, m->fd, static_cast<off_t>(offset));
  if (view == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.views[view] = {length, m->key};
  ++s.mapped[m->key];
  return view;
}

BOOL UnmapViewOfFile(LPCVOID baseAddress) {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto found = s.views.find(baseAddress);
  if (found == s.views.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  ::munmap(const_cast<void*>(baseAddress), found->second.first);
  FileKey key = found->second.second;
  s.views.erase(found);
  if (--s.mapped[key] == 0) s.mapped.erase(key);
  return TRUE;
}

void SimFailOpen(LPCWSTR pattern, DWORD error) {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.push_back(PathRule{Upper(pattern), RuleKind::FailOpen, error, 0});
}

void SimFailWrite(LPCWSTR pattern, DWORD error) {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.push_back(PathRule{Upper(pattern), RuleKind::FailWrite, error, 0});
}

void SimShortWrite(LPCWSTR pattern, DWORD bytes) {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.push_back(PathRule{Upper(pattern), RuleKind::ShortWrite, 0, bytes});
}

void SimDiskFull(LPCWSTR pattern, DWORD bytes) {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.push_back(PathRule{Upper(pattern), RuleKind::DiskFull, ERROR_DISK_FULL, bytes});
}

void SimClearFileRules() {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.rules.clear();
}

void SimSetShortPathName(LPCWSTR longPath, LPCWSTR shortPath) {
  std::u16string full;
  std::string host;
  DWORD error;
  if (longPath == nullptr || shortPath == nullptr || !SandboxResolve(longPath, false, &full, &host, &error)) return;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.shortNames[Upper(full)] = shortPath;
}

void SimSetTempPath(LPCWSTR path) {
  if (path == nullptr) return;
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.tempPath = path;
  if (s.tempPath.empty() || s.tempPath.back() != u'\\') s.tempPath += u'\\';
}

int SimOpenFiles() {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return static_cast<int>(s.opens.size());
}

int SimLiveMappedViews() {
  FilesState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return static_cast<int>(s.views.size());
}
