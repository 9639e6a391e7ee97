// The companion text library: its "LOCALE_TEXT" resource for the user's language is copied to
// a temporary INI file whose "Resource" section overrides the data source's own texts.
#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"
#include "scanner/system_routines.h"

namespace {

struct LocaleRow {
  const char* Tag;
  WORD ResourceId;
};

// Languages of the companion library, by the start of the abbreviated language name.
constexpr LocaleRow kLocaleTable[] = {{"CHS", 112}, {"EN", 104}, {nullptr, 0}};
constexpr WORD kDefaultLocaleResource = 104;
constexpr char kDefaultHelpTag[] = "EN*";
constexpr char kLocaleTextType[] = "LOCALE_TEXT";
constexpr char kTempPrefix[] = "AIO";
constexpr int kLanguageNameChars = 16;

struct LocaleTextFile {
  char Path[MAX_PATH] = {};
  HANDLE File = INVALID_HANDLE_VALUE;
  HMODULE Library = nullptr;
  char HelpTag[5] = "EN";
};

LocaleTextFile g_Locale;

// The companion's file name: the module's path with everything from its last dot replaced
// by ".dll".
bool CompanionPath(HINSTANCE instance, char* path) {
  const DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  char* dot = std::strrchr(path, '.');
  char* slash = std::strrchr(path, '\\');
  if (dot == nullptr || (slash != nullptr && dot < slash)) return false;
  if (static_cast<size_t>(dot - path) + 5 > MAX_PATH) return false;
  std::strcpy(dot, ".dll");
  return true;
}

// Copies the INI text (at most `size` bytes, up to its terminator when it has one) into a new
// temporary file. The handle stays open until UnloadLocaleText, which deletes the file: the
// INI reader does not share deletion, so the file cannot be opened delete-on-close.
bool WriteLocaleTextFile(const char* text, DWORD size) {
  const void* end = std::memchr(text, '\0', size);
  const DWORD length = end != nullptr ? static_cast<DWORD>(static_cast<const char*>(end) - text) : size;
  char folder[MAX_PATH];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return false;
  char path[MAX_PATH];
  if (GetTempFileNameA(folder, kTempPrefix, 0, path) == 0) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(path);
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file, text, length, &written, nullptr) || written != length) {
    CloseHandle(file);
    DeleteFileA(path);
    return false;
  }
  g_Locale.File = file;
  std::strcpy(g_Locale.Path, path);
  return true;
}

}  // namespace

BOOL LoadLocaleText(HINSTANCE instance) {
  UnloadLocaleText();
  char path[MAX_PATH];
  if (CompanionPath(instance, path)) g_Locale.Library = LoadLibraryA(path);
  char language[kLanguageNameChars] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, language, sizeof language) == 0) language[0] = 0;
  if (g_Locale.Library == nullptr) return TRUE;

  WORD resourceId = kDefaultLocaleResource;
  std::strcpy(g_Locale.HelpTag, kDefaultHelpTag);
  for (const LocaleRow* row = kLocaleTable; row->ResourceId != 0; ++row) {
    const size_t tagLength = std::strlen(row->Tag);
    if (std::strncmp(language, row->Tag, tagLength) == 0) {
      resourceId = row->ResourceId;
      std::strcpy(g_Locale.HelpTag, row->Tag);
      if (tagLength == 2) std::strcat(g_Locale.HelpTag, "*");
      break;
    }
  }
  HRSRC resource = FindResourceA(g_Locale.Library, MAKEINTRESOURCEA(resourceId), kLocaleTextType);
  if (resource == nullptr) return TRUE;
  HGLOBAL loaded = LoadResource(g_Locale.Library, resource);
  const char* text = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  const DWORD size = SizeofResource(g_Locale.Library, resource);
  // The resource is bounded by its size: a text without a terminator ends there.
  if (text != nullptr && size > 0) WriteLocaleTextFile(text, size);
  return TRUE;
}

BOOL UnloadLocaleText() {
  if (g_Locale.Library != nullptr) FreeLibrary(g_Locale.Library);
  g_Locale.Library = nullptr;
  if (g_Locale.File != INVALID_HANDLE_VALUE) {
    CloseHandle(g_Locale.File);
    DeleteFileA(g_Locale.Path);
  }
  g_Locale.File = INVALID_HANDLE_VALUE;
  g_Locale.Path[0] = 0;
  return FALSE;
}

LPCSTR GetHelpLocaleTag() { return g_Locale.HelpTag; }

LPCSTR LocaleTextFilePath() { return g_Locale.Path[0] != 0 ? g_Locale.Path : nullptr; }
