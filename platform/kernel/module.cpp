// The module loader (rules in module.h).
#include "platform/kernel/module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/module_note.h"
#include "platform/kernel/module_resources.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr const WCHAR* kSystemDirectory = u"C:\\Windows\\System32";
// Handle values are tokens, never pointers: the host, the built-ins, then loaded modules.
constexpr ULONG_PTR kHostHandle = 0x00400000;
constexpr ULONG_PTR kBuiltinHandleBase = 0x7FF00000;
constexpr ULONG_PTR kModuleHandleBase = 0x10000000;
constexpr ULONG_PTR kHandleStride = 0x10000;
// A resource file larger than this is refused rather than read into memory.
constexpr std::uintmax_t kMaxResourceFileSize = 256u << 20;
constexpr BYTE kElfMagic[4] = {0x7F, 'E', 'L', 'F'};

constexpr const WCHAR* kBuiltinModules[] = {u"kernel32.dll", u"user32.dll",   u"gdi32.dll",    u"advapi32.dll",
                                            u"comctl32.dll", u"compstui.dll", u"comdlg32.dll", u"shell32.dll",
                                            u"hhctrl.ocx"};

// A function as GetProcAddress answers it (through the generic function type, which
// converts to and from every function type).
template <typename F>
FARPROC AsProc(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

// Functions of the layer that callers take by name from a built-in module.
struct BuiltinExport {
  size_t module;  // index in kBuiltinModules
  const char* name;
  FARPROC address;
};
const BuiltinExport kBuiltinExports[] = {
    {0, "LoadLibraryA", AsProc(&LoadLibraryA)},
    {0, "LoadLibraryW", AsProc(&LoadLibraryW)},
    {0, "LoadLibraryExA", AsProc(&LoadLibraryExA)},
    {0, "LoadLibraryExW", AsProc(&LoadLibraryExW)},
    {0, "FreeLibrary", AsProc(&FreeLibrary)},
    {0, "GetProcAddress", AsProc(&GetProcAddress)},
    {0, "GetModuleHandleA", AsProc(&GetModuleHandleA)},
    {0, "GetModuleHandleW", AsProc(&GetModuleHandleW)},
    {0, "GetModuleFileNameA", AsProc(&GetModuleFileNameA)},
    {0, "GetModuleFileNameW", AsProc(&GetModuleFileNameW)},
};

// Functions other services of the layer add to a built-in module (KernelAddBuiltinExport).
struct AddedExport {
  size_t module;
  std::string name;  // empty for one known by ordinal only
  WORD ordinal;      // 0: none
  FARPROC address;
};

std::vector<AddedExport>& AddedExports() {
  static auto* list = new std::vector<AddedExport>;
  return *list;
}

enum class Kind { kCode, kData };

// One version of a module file: a file replaced or rewritten in place is another version.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

FileStamp StampOf(const struct stat& st) { return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }

// Bytes of a code module's image that may change while it is loaded, as they were when the
// image was mapped.
struct LoadedBytes {
  const BYTE* at;
  std::vector<BYTE> bytes;
};

struct Module {
  ULONG_PTR handle = 0;
  Kind kind = Kind::kCode;
  bool dataOnly = false;  // an ELF module loaded with a data flag: no DllMain, no exports
  bool attached = false;  // DllMain ran for attach and must run for detach
  bool pinned = false;
  std::u16string path;      // platform path
  std::u16string fileName;  // last part of the path, for names and counts
  std::string identity;     // canonical host path
  FileStamp stamp;
  void* dl = nullptr;
  // A code module that declares it keeps no state (module_note.h) and whose image this load
  // mapped afresh: its writable bytes as mapped, to tell at the last free whether the image
  // may be kept for the next load.
  bool keepable = false;
  std::vector<LoadedBytes> loadedBytes;
  int uses = 0;
  std::vector<BYTE> fileBytes;  // a data module's file
  std::span<const BYTE> resources;
  std::vector<QrsEntry> entries;
};

// The image of a module that keeps no state, kept mapped after its last FreeLibrary with what
// the loader read from it, until the next load of the same file version takes it.
struct KeptImage {
  void* dl = nullptr;
  FileStamp stamp;
  std::span<const BYTE> resources;
  std::vector<QrsEntry> entries;
  std::vector<LoadedBytes> loadedBytes;
};

struct Loader {
  std::recursive_mutex lock;  // recursive: DllMain may load and free modules
  std::map<ULONG_PTR, std::unique_ptr<Module>> modules;
  ULONG_PTR nextHandle = kModuleHandleBase;
  std::map<std::u16string, std::set<std::string>> hiddenExports;  // by upper-case file name
  std::map<std::u16string, DWORD> failingLoads;
  std::map<std::u16string, int> loadCounts, freeCounts;
  std::map<std::string, KeptImage> keptImages;  // by identity
  std::u16string hostPath;
  std::string lastMessage;
};

Loader& L() {
  static Loader* loader = new Loader;
  return *loader;
}

std::u16string Upper(std::u16string_view s) {
  std::u16string out(s);
  for (WCHAR& c : out) c = UpcaseChar(c);
  return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) { return EqualNoCaseW(a, b); }

std::u16string LastPart(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/:");
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

void ResetLoaderState() {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  for (auto& [identity, kept] : l.keptImages) dlclose(kept.dl);
  l.keptImages.clear();
  l.hiddenExports.clear();
  l.failingLoads.clear();
  l.loadCounts.clear();
  l.freeCounts.clear();
  l.hostPath.clear();
  l.lastMessage.clear();
}
const bool registeredReset = (SimAddResetHook(&ResetLoaderState), true);

std::u16string HostPathOfProcess(Loader& l) {
  if (!l.hostPath.empty()) return l.hostPath;
  std::error_code ec;
  std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).filename().string();
  return std::u16string(kSystemDirectory) + u"\\" + Utf8ToUtf16(exe.empty() ? "host.exe" : exe);
}

ULONG_PTR BuiltinHandle(size_t index) { return kBuiltinHandleBase + index * kHandleStride; }

// The built-in module a name or path names, or -1.
int FindBuiltin(std::u16string_view name, bool bare) {
  if (!bare) {
    const std::u16string_view system(kSystemDirectory);
    if (name.size() <= system.size() + 1 || name[system.size()] != u'\\' ||
        !SameName(name.substr(0, system.size()), system))
      return -1;
    name.remove_prefix(system.size() + 1);
  }
  for (size_t i = 0; i < std::size(kBuiltinModules); ++i)
    if (SameName(name, kBuiltinModules[i])) return int(i);
  return -1;
}

// Whether `address` lies in the object `dl` itself (not in one of its dependencies).
bool BelongsTo(void* dl, const void* address) {
  link_map* own = nullptr;
  if (dlinfo(dl, RTLD_DI_LINKMAP, &own) != 0 || !own) return false;
  Dl_info info;
  link_map* found = nullptr;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&found), RTLD_DL_LINKMAP)) return false;
  return found == own;
}

void* OwnSymbol(void* dl, const char* name) {
  void* p = dlsym(dl, name);
  return p && BelongsTo(dl, p) ? p : nullptr;
}

Module* Find(Loader& l, HMODULE h) {
  auto it = l.modules.find(reinterpret_cast<ULONG_PTR>(h));
  return it == l.modules.end() ? nullptr : it->second.get();
}

std::u16string NormaliseBareName(std::u16string name) {
  if (!name.empty() && name.back() == u'.') {
    name.pop_back();  // a trailing dot: the name has no extension
  } else if (name.find(u'.') == std::u16string::npos) {
    name += u".dll";
  }
  return name;
}

bool IsBare(std::u16string_view name) { return name.find_first_of(u"\\/:") == std::u16string_view::npos; }

bool RegularFile(const std::string& host) {
  struct stat st;
  return !host.empty() && ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Finds the file a name means: its platform path and host path. A bare name is looked for in
// the driver and system directories; a path names its file, whose kind the opening checks.
bool Locate(std::u16string_view name, std::u16string& platformPath, std::string& hostPath) {
  if (IsBare(name)) {
    for (std::u16string dir : {std::u16string(SimDriverDirectory()), std::u16string(kSystemDirectory)}) {
      std::u16string candidate = dir + u"\\" + std::u16string(name);
      std::u16string full;
      std::string host;
      DWORD error = 0;
      if (SandboxResolve(candidate.c_str(), false, &full, &host, &error) && RegularFile(host)) {
        platformPath = full;
        hostPath = host;
        return true;
      }
    }
    return false;
  }
  std::u16string text(name);
  DWORD error = 0;
  return SandboxResolve(text.c_str(), false, &platformPath, &hostPath, &error);
}

// A located module file, held open while it is identified and, for a resource file, read.
struct ModuleFile {
  int fd = -1;
  std::string identity;  // canonical host path
  FileStamp stamp;
  BYTE head[4] = {};

  ModuleFile() = default;
  ModuleFile(const ModuleFile&) = delete;
  ModuleFile& operator=(const ModuleFile&) = delete;
  ~ModuleFile() {
    if (fd >= 0) ::close(fd);
  }
};

// Opens a located module file and reads its identity (the kernel names the open file; without
// that, the file system canonicalises the path), its version and its first four bytes:
// ERROR_SUCCESS; ERROR_MOD_NOT_FOUND when it is missing, not a regular file or its path cannot
// be made canonical; ERROR_BAD_EXE_FORMAT when it exists but cannot be read.
DWORD IdentifyModuleFile(const std::string& host, ModuleFile& file) {
  // Not blocking: opening a named pipe to read would wait for a writer.
  file.fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st;
  std::error_code ec;
  if (file.fd < 0 || ::fstat(file.fd, &st) != 0)
    return ::stat(host.c_str(), &st) == 0 ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND;
  if (!S_ISREG(st.st_mode)) return ERROR_MOD_NOT_FOUND;
  file.stamp = StampOf(st);
  char target[4096];
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
  const ssize_t n = ::readlink(self.c_str(), target, sizeof target);
  if (n > 0 && static_cast<size_t>(n) < sizeof target && target[0] == '/') {
    file.identity.assign(target, static_cast<size_t>(n));
  } else {
    file.identity = std::filesystem::canonical(host, ec).string();
    if (ec) return ERROR_MOD_NOT_FOUND;
  }
  return ::pread(file.fd, file.head, sizeof file.head, 0) == ssize_t(sizeof file.head) ? ERROR_SUCCESS
                                                                                        : ERROR_BAD_EXE_FORMAT;
}

// Reads a resource file whole from its open file and parses its directory.
DWORD OpenDataModule(Module& m, const ModuleFile& file) {
  if (file.stamp.size < 0 || std::uintmax_t(file.stamp.size) > kMaxResourceFileSize) return ERROR_BAD_FORMAT;
  m.fileBytes.resize(size_t(file.stamp.size));
  for (size_t done = 0; done < m.fileBytes.size();) {
    const ssize_t n = ::pread(file.fd, m.fileBytes.data() + done, m.fileBytes.size() - done, off_t(done));
    if (n <= 0) return ERROR_BAD_FORMAT;
    done += size_t(n);
  }
  if (DWORD error = QrsParse(m.fileBytes, m.entries); error != ERROR_SUCCESS) return error;
  m.resources = m.fileBytes;
  return ERROR_SUCCESS;
}

// Whether a note segment holds the note by which a module declares it keeps no state.
// `align` is the segment's: notes of an 8-aligned segment pad their fields to 8 bytes.
bool HasKeepsNoStateNote(const BYTE* notes, size_t size, size_t align) {
  auto padded = [align](size_t n) { return (n + align - 1) / align * align; };
  for (size_t at = 0; at + 12 <= size;) {
    std::uint32_t field[3];
    std::memcpy(field, notes + at, sizeof field);
    const size_t owner = at + 12, next = owner + padded(field[0]) + padded(field[1]);
    if (next > size) return false;
    if (field[2] == kModuleNoteKeepsNoState && field[0] == sizeof kModuleNoteOwner &&
        std::memcmp(notes + owner, kModuleNoteOwner, sizeof kModuleNoteOwner) == 0)
      return true;
    at = next;
  }
  return false;
}

// What the program headers of one mapped object say about its state.
struct ImageFacts {
  const link_map* map = nullptr;
  bool found = false;
  bool declaresNoState = false;
  bool threadLocal = false;
  std::vector<std::pair<const BYTE*, const BYTE*>> writable;  // writable segments
  const BYTE* relroStart = nullptr;  // made read-only once relocated
  const BYTE* relroEnd = nullptr;
};

int ReadImageFacts(dl_phdr_info* info, size_t, void* data) {
  auto& facts = *static_cast<ImageFacts*>(data);
  if (info->dlpi_addr != facts.map->l_addr || info->dlpi_name == nullptr ||
      std::strcmp(info->dlpi_name, facts.map->l_name) != 0)
    return 0;
  facts.found = true;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    const auto* at = reinterpret_cast<const BYTE*>(info->dlpi_addr + segment.p_vaddr);
    if (segment.p_type == PT_NOTE && HasKeepsNoStateNote(at, segment.p_memsz, segment.p_align == 8 ? 8 : 4))
      facts.declaresNoState = true;
    if (segment.p_type == PT_TLS) facts.threadLocal = true;
    if (segment.p_type == PT_LOAD && (segment.p_flags & PF_W)) facts.writable.emplace_back(at, at + segment.p_memsz);
    if (segment.p_type == PT_GNU_RELRO) {
      // The pages the dynamic loader protects: from the page of the start to the page of the end.
      const auto page = static_cast<uintptr_t>(::getpagesize());
      facts.relroStart = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(at) / page * page);
      facts.relroEnd = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(at + segment.p_memsz) / page * page);
    }
  }
  return 1;
}

// The loader reads a module's writable memory whole, gaps between variables included: under
// the address sanitizer those gaps are poisoned for the program's own reads, so these two
// read byte by byte without its checks (and without the library calls it intercepts).
[[gnu::no_sanitize_address]] void CopyImageBytes(const BYTE* from, size_t n, BYTE* to) {
  const volatile BYTE* source = from;
  for (size_t i = 0; i < n; ++i) to[i] = source[i];
}

[[gnu::no_sanitize_address]] bool SameImageBytes(const BYTE* at, const BYTE* kept, size_t n) {
  const volatile BYTE* now = at;
  for (size_t i = 0; i < n; ++i)
    if (now[i] != kept[i]) return false;
  return true;
}

// Marks a freshly mapped module that declares it keeps no state as keepable and copies its
// writable bytes (outside the part protected after relocation) as they are before DllMain.
void RecordLoadedImage(Module& m) {
  link_map* map = nullptr;
  if (dlinfo(m.dl, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return;
  ImageFacts facts;
  facts.map = map;
  dl_iterate_phdr(&ReadImageFacts, &facts);
  if (!facts.found || !facts.declaresNoState || facts.threadLocal) return;
  auto copy = [&m](const BYTE* from, const BYTE* to) {
    if (from >= to) return;
    LoadedBytes part{from, std::vector<BYTE>(size_t(to - from))};
    CopyImageBytes(from, part.bytes.size(), part.bytes.data());
    m.loadedBytes.push_back(std::move(part));
  };
  for (auto [start, end] : facts.writable) {
    copy(start, std::min(end, std::max(start, facts.relroStart)));
    copy(std::max(start, std::min(end, facts.relroEnd)), end);
  }
  m.keepable = true;
}

bool StillAsLoaded(const Module& m) {
  for (const LoadedBytes& part : m.loadedBytes)
    if (!SameImageBytes(part.at, part.bytes.data(), part.bytes.size())) return false;
  return true;
}

// Serves a load from the kept image of the same file version, if there is one; a kept image
// of another version of the file is unloaded.
bool TakeKeptImage(Loader& l, Module& m) {
  auto kept = l.keptImages.find(m.identity);
  if (kept == l.keptImages.end()) return false;
  KeptImage image = std::move(kept->second);
  l.keptImages.erase(kept);
  if (!(image.stamp == m.stamp)) {
    dlclose(image.dl);
    return false;
  }
  m.dl = image.dl;
  m.resources = image.resources;
  m.entries = std::move(image.entries);
  m.loadedBytes = std::move(image.loadedBytes);
  m.keepable = true;
  return true;
}

// Ends a module's hold on its image after its last use: a keepable image whose writable bytes
// are still those it was mapped with stays mapped for the next load of the file (a reload
// would give the same bytes); any other is closed.
void ReleaseImage(Loader& l, std::unique_ptr<Module> m) {
  if (!m->dl) return;
  if (m->keepable && StillAsLoaded(*m) &&
      l.keptImages.try_emplace(m->identity, KeptImage{m->dl, m->stamp, m->resources, std::move(m->entries),
                                                      std::move(m->loadedBytes)})
          .second)
    return;
  dlclose(m->dl);
}

DWORD OpenCodeModule(Loader& l, Module& m, const std::string& host) {
  if (TakeKeptImage(l, m)) return ERROR_SUCCESS;
  // An object the process has mapped already (through another module record, or outside
  // this loader) is not a fresh image.
  void* mappedBefore = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  m.dl = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (mappedBefore) dlclose(mappedBefore);
  if (!m.dl) {
    const char* message = dlerror();
    l.lastMessage = message ? message : "dlopen failed";
    return ERROR_MOD_NOT_FOUND;
  }
  auto* block = static_cast<const BYTE*>(OwnSymbol(m.dl, QV_MODULE_RESOURCES_SYMBOL));
  auto* size = static_cast<const std::size_t*>(OwnSymbol(m.dl, QV_MODULE_RESOURCES_SIZE_SYMBOL));
  if (block && size) {
    m.resources = std::span<const BYTE>(block, *size);
    if (DWORD error = QrsParse(m.resources, m.entries); error != ERROR_SUCCESS) {
      dlclose(m.dl);
      m.dl = nullptr;
      return error;
    }
  }
  if (!mappedBefore) RecordLoadedImage(m);
  return ERROR_SUCCESS;
}

DllEntryProc EntryOf(const Module& m) {
  return m.dl ? reinterpret_cast<DllEntryProc>(OwnSymbol(m.dl, "DllMain")) : nullptr;
}

// A handle value that no live module has, the next after the last one given: the values run
// through the modules' range and start again at its beginning, so that a process that loads
// and frees modules many times never reaches the built-ins' values. 0 when every value is taken.
ULONG_PTR TakeHandleValue(Loader& l) {
  constexpr ULONG_PTR kValues = (kBuiltinHandleBase - kModuleHandleBase) / kHandleStride;
  for (ULONG_PTR tried = 0; tried < kValues; ++tried) {
    const ULONG_PTR value = l.nextHandle;
    l.nextHandle = value + kHandleStride < kBuiltinHandleBase ? value + kHandleStride : kModuleHandleBase;
    if (!l.modules.contains(value)) return value;
  }
  return 0;
}

HMODULE Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

HMODULE Load(std::u16string_view name, DWORD flags) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  bool bare = IsBare(name);
  std::u16string wanted = bare ? NormaliseBareName(std::u16string(name)) : std::u16string(name);
  std::u16string fileKey = Upper(LastPart(wanted));
  if (auto failing = l.failingLoads.find(fileKey); failing != l.failingLoads.end()) return Fail(failing->second);
  if (int builtin = FindBuiltin(wanted, bare); builtin >= 0) return reinterpret_cast<HMODULE>(BuiltinHandle(size_t(builtin)));

  bool dataFlags = flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);

  auto reuse = [&](Module& m) {
    ++m.uses;
    ++l.loadCounts[Upper(m.fileName)];
    return reinterpret_cast<HMODULE>(m.handle);
  };
  if (bare) {  // a module of that name already loaded is the one meant
    for (auto& [handle, m] : l.modules)
      if (m->kind == Kind::kCode && !m->dataOnly && !dataFlags && SameName(m->fileName, wanted)) return reuse(*m);
  }
  std::u16string platformPath;
  std::string hostPath;
  if (!Locate(wanted, platformPath, hostPath)) return Fail(ERROR_MOD_NOT_FOUND);
  ModuleFile file;
  if (DWORD error = IdentifyModuleFile(hostPath, file); error != ERROR_SUCCESS) return Fail(error);
  bool elf = std::equal(std::begin(file.head), std::end(file.head), std::begin(kElfMagic));
  if (!elf && !QrsHasMagic(file.head)) return Fail(ERROR_BAD_EXE_FORMAT);
  Kind kind = elf ? Kind::kCode : Kind::kData;
  bool dataOnly = elf && dataFlags;
  for (auto& [handle, m] : l.modules)
    if (m->identity == file.identity && m->kind == kind && m->dataOnly == dataOnly) return reuse(*m);

  const ULONG_PTR handleValue = TakeHandleValue(l);
  if (handleValue == 0) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  auto module = std::make_unique<Module>();
  Module& m = *module;
  m.kind = kind;
  m.dataOnly = dataOnly;
  m.path = platformPath;
  m.fileName = LastPart(platformPath);
  m.identity = file.identity;
  m.stamp = file.stamp;
  m.uses = 1;
  DWORD error = elf ? OpenCodeModule(l, m, hostPath) : OpenDataModule(m, file);
  if (error != ERROR_SUCCESS) return Fail(error);
  m.handle = handleValue;
  auto handle = reinterpret_cast<HMODULE>(m.handle);
  l.modules[m.handle] = std::move(module);

  DllEntryProc entry = (elf && !dataOnly && !(flags & DONT_RESOLVE_DLL_REFERENCES)) ? EntryOf(m) : nullptr;
  if (entry) {
    // Registered before the call so that DllMain can ask for its own file name.
    if (!entry(handle, DLL_PROCESS_ATTACH, nullptr)) {
      entry(handle, DLL_PROCESS_DETACH, nullptr);
      ReleaseImage(l, std::move(l.modules.extract(m.handle).mapped()));
      return Fail(ERROR_DLL_INIT_FAILED);
    }
    m.attached = true;
  }
  ++l.loadCounts[Upper(m.fileName)];
  return handle;
}

// Resolves a name for GetModuleHandle: a loaded code module, a built-in, or nothing.
HMODULE FindLoaded(Loader& l, std::u16string_view name) {
  bool bare = IsBare(name);
  std::u16string wanted = bare ? NormaliseBareName(std::u16string(name)) : std::u16string(name);
  if (int builtin = FindBuiltin(wanted, bare); builtin >= 0) return reinterpret_cast<HMODULE>(BuiltinHandle(size_t(builtin)));
  std::u16string full;
  if (!bare) {
    std::string host;
    DWORD error = 0;
    if (!SandboxResolve(wanted.c_str(), false, &full, &host, &error)) return nullptr;
  }
  for (auto& [handle, m] : l.modules) {
    if (m->kind != Kind::kCode || m->dataOnly) continue;
    if (bare ? SameName(m->fileName, wanted) : SameName(m->path, full)) return reinterpret_cast<HMODULE>(handle);
  }
  return nullptr;
}

bool IsBuiltinHandle(HMODULE h, size_t& index) {
  auto v = reinterpret_cast<ULONG_PTR>(h);
  if (v < kBuiltinHandleBase || (v - kBuiltinHandleBase) % kHandleStride != 0) return false;
  index = (v - kBuiltinHandleBase) / kHandleStride;
  return index < std::size(kBuiltinModules);
}

// The platform path of a module handle, or false for an unknown handle.
bool PathOf(Loader& l, HMODULE h, std::u16string& path) {
  size_t builtin;
  if (!h || reinterpret_cast<ULONG_PTR>(h) == kHostHandle) {
    path = HostPathOfProcess(l);
  } else if (IsBuiltinHandle(h, builtin)) {
    path = std::u16string(kSystemDirectory) + u"\\" + kBuiltinModules[builtin];
  } else if (Module* m = Find(l, h)) {
    path = m->path;
  } else {
    return false;
  }
  return true;
}

}  // namespace

HMODULE LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
  if (!name || !*name || file) return Fail(ERROR_INVALID_PARAMETER);
  return Load(name, flags);
}

HMODULE LoadLibraryW(LPCWSTR name) { return LoadLibraryExW(name, nullptr, 0); }

HMODULE LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  if (!name) return Fail(ERROR_INVALID_PARAMETER);
  return LoadLibraryExW(AnsiToWide(name).c_str(), file, flags);
}

HMODULE LoadLibraryA(LPCSTR name) { return LoadLibraryExA(name, nullptr, 0); }

BOOL FreeLibrary(HMODULE h) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  size_t builtin;
  if (reinterpret_cast<ULONG_PTR>(h) == kHostHandle || IsBuiltinHandle(h, builtin)) return TRUE;
  Module* m = Find(l, h);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ++l.freeCounts[Upper(m->fileName)];
  if (m->pinned || --m->uses > 0) return TRUE;
  if (m->attached) {
    m->attached = false;
    EntryOf(*m)(h, DLL_PROCESS_DETACH, nullptr);
  }
  ReleaseImage(l, std::move(l.modules.extract(reinterpret_cast<ULONG_PTR>(h)).mapped()));
  return TRUE;
}

FARPROC GetProcAddress(HMODULE h, LPCSTR name) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  size_t builtin;
  bool isBuiltin = IsBuiltinHandle(h, builtin);
  Module* m = isBuiltin ? nullptr : Find(l, h);
  if (!isBuiltin && !m && h && reinterpret_cast<ULONG_PTR>(h) != kHostHandle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  FARPROC found = nullptr;
  if (isBuiltin) {
    auto hidden = l.hiddenExports.find(Upper(kBuiltinModules[builtin]));
    bool byOrdinal = IS_INTRESOURCE(name);
    if (!byOrdinal && hidden != l.hiddenExports.end() && hidden->second.count(name)) {
      SetLastError(ERROR_PROC_NOT_FOUND);
      return nullptr;
    }
    WORD ordinal = byOrdinal ? WORD(reinterpret_cast<ULONG_PTR>(name)) : 0;
    if (!byOrdinal)
      for (const BuiltinExport& e : kBuiltinExports)
        if (e.module == builtin && std::string_view(e.name) == name) found = e.address;
    for (const AddedExport& e : AddedExports())
      if (e.module == builtin && (byOrdinal ? e.ordinal == ordinal : e.name == name)) found = e.address;
  } else if (IS_INTRESOURCE(name)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  } else if (m && m->kind == Kind::kCode && !m->dataOnly) {
    auto hidden = l.hiddenExports.find(Upper(m->fileName));
    if (hidden == l.hiddenExports.end() || !hidden->second.count(name))
      found = reinterpret_cast<FARPROC>(OwnSymbol(m->dl, name));
  }
  if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

DWORD GetModuleFileNameW(HMODULE h, LPWSTR buffer, DWORD size) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  std::u16string path;
  if (!PathOf(l, h, path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < size) {
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = 0;
    return DWORD(path.size());
  }
  std::copy(path.begin(), path.begin() + (size - 1), buffer);
  buffer[size - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

DWORD GetModuleFileNameA(HMODULE h, LPSTR buffer, DWORD size) {
  std::u16string path;
  {
    Loader& l = L();
    std::lock_guard<std::recursive_mutex> guard(l.lock);
    if (!PathOf(l, h, path)) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
  }
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::string ansi = WideToAnsi(path);
  DWORD n = DWORD(std::min<size_t>(ansi.size(), size - 1));
  std::copy(ansi.begin(), ansi.begin() + n, buffer);
  buffer[n] = 0;
  if (ansi.size() >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return n;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
  if (!name) return reinterpret_cast<HMODULE>(kHostHandle);
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  HMODULE h = *name ? FindLoaded(l, name) : nullptr;
  if (!h) SetLastError(ERROR_MOD_NOT_FOUND);
  return h;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  if (!name) return GetModuleHandleW(nullptr);
  return GetModuleHandleW(AnsiToWide(name).c_str());
}

BOOL GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* out) {
  if (!out || (flags & ~DWORD(7)) ||
      ((flags & GET_MODULE_HANDLE_EX_FLAG_PIN) && (flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT))) {
    if (out) *out = nullptr;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *out = nullptr;
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  HMODULE h = nullptr;
  if (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
    for (auto& [handle, m] : l.modules)
      if (m->dl && !m->dataOnly && BelongsTo(m->dl, name)) h = reinterpret_cast<HMODULE>(handle);
  } else {
    h = name ? FindLoaded(l, name) : reinterpret_cast<HMODULE>(kHostHandle);
  }
  if (!h) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (Module* m = Find(l, h)) {
    if (flags & GET_MODULE_HANDLE_EX_FLAG_PIN) m->pinned = true;
    if (!(flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)) ++m->uses;
  }
  *out = h;
  return TRUE;
}

BOOL DisableThreadLibraryCalls(HMODULE h) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  if (Find(l, h)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

bool ModuleResourceBlock(HMODULE h, ModuleResourceView& view, DWORD& error) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  static const std::vector<QrsEntry> kNone;
  view = ModuleResourceView{{}, &kNone};
  size_t builtin;
  if (!h || reinterpret_cast<ULONG_PTR>(h) == kHostHandle || IsBuiltinHandle(h, builtin)) return true;
  Module* m = Find(l, h);
  if (!m) {
    error = ERROR_INVALID_HANDLE;
    return false;
  }
  view = ModuleResourceView{m->resources, &m->entries};
  return true;
}

void SimModuleHideExport(LPCWSTR fileName, const char* exportName) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  l.hiddenExports[Upper(fileName)].insert(exportName);
}

void SimModuleFailLoad(LPCWSTR fileName, DWORD error) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  if (error == 0)
    l.failingLoads.erase(Upper(fileName));
  else
    l.failingLoads[Upper(fileName)] = error;
}

int SimModuleLoadCount(LPCWSTR fileName) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  auto it = l.loadCounts.find(Upper(fileName));
  return it == l.loadCounts.end() ? 0 : it->second;
}

int SimModuleFreeCount(LPCWSTR fileName) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  auto it = l.freeCounts.find(Upper(fileName));
  return it == l.freeCounts.end() ? 0 : it->second;
}

int SimModuleUseCount(HMODULE h) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  size_t builtin;
  if (reinterpret_cast<ULONG_PTR>(h) == kHostHandle || IsBuiltinHandle(h, builtin)) return 1;
  Module* m = Find(l, h);
  return m ? m->uses : 0;
}

int SimModuleLiveCount() {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  return int(l.modules.size());
}

int SimModuleKeptImageCount() {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  return int(l.keptImages.size());
}

void SimSetHostModulePath(LPCWSTR path) {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  l.hostPath = path ? path : u"";
}

std::string SimModuleLastLoadMessage() {
  Loader& l = L();
  std::lock_guard<std::recursive_mutex> guard(l.lock);
  return l.lastMessage;
}

void KernelAddBuiltinExport(LPCWSTR module, const char* name, WORD ordinal, FARPROC address) {
  for (size_t i = 0; i < std::size(kBuiltinModules); ++i)
    if (SameName(module, kBuiltinModules[i])) AddedExports().push_back(AddedExport{i, name ? name : "", ordinal, address});
}
