// The file and colour dialogs (see commdlg.h): queued answers, a log, and the output fields
// filled by the platform's rules.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/dialogs/commdlg.h"
#include "platform/dialogs/dialogs_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/modal.h"

namespace {

struct FileAnswer {
  enum Kind { Path, Cancel, Error } kind = Cancel;
  std::u16string path;
  DWORD error = 0;
};

struct ColourAnswer {
  bool chosen = false;
  COLORREF colour = 0;
};

struct Dialogs {
  std::recursive_mutex lock;
  std::deque<FileAnswer> fileAnswers;
  std::deque<ColourAnswer> colourAnswers;
  std::vector<SimFileDialog> fileLog;
  std::vector<SimColorDialog> colourLog;
  DWORD extendedError = 0;
};

Dialogs& D() {
  static auto* d = new Dialogs;
  return *d;
}

const bool registeredReset = (SimAddResetHook([] {
                                Dialogs& d = D();
                                std::lock_guard<std::recursive_mutex> guard(d.lock);
                                d.fileAnswers.clear();
                                d.colourAnswers.clear();
                                d.fileLog.clear();
                                d.colourLog.clear();
                                d.extendedError = 0;
                              }),
                              true);

std::u16string Text(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

// The filter's texts: NUL-ended texts up to an empty one.
std::vector<std::u16string> FilterTexts(LPCWSTR filter) {
  std::vector<std::u16string> out;
  for (const WCHAR* p = filter; p != nullptr && *p != 0; p += out.back().size() + 1) out.emplace_back(p);
  return out;
}

// The initial text of the file buffer, read no further than its size.
std::u16string InitialFile(const OPENFILENAMEW& ofn) {
  std::u16string out;
  for (DWORD i = 0; ofn.lpstrFile != nullptr && i < ofn.nMaxFile && ofn.lpstrFile[i] != 0; ++i) out += ofn.lpstrFile[i];
  return out;
}

// Where the name starts and where its extension starts (see commdlg.h).
void Offsets(const std::u16string& path, WORD& name, WORD& extension) {
  size_t cut = path.find_last_of(u"\\/:");
  size_t start = cut == std::u16string::npos ? 0 : cut + 1;
  name = WORD(start);
  size_t dot = path.find_last_of(u'.');
  if (dot == std::u16string::npos || dot < start) extension = WORD(path.size());
  else if (dot + 1 == path.size()) extension = 0;
  else extension = WORD(dot + 1);
}

BOOL RunFileDialog(LPOPENFILENAMEW ofn, bool save) {
  Dialogs& d = D();
  if (ofn == nullptr || (ofn->lStructSize != sizeof(OPENFILENAMEW) && ofn->lStructSize != kOpenFileNameSizeV4)) {
    std::lock_guard<std::recursive_mutex> guard(d.lock);
    d.extendedError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  SimFileDialog entry;
  entry.save = save;
  entry.owner = ofn->hwndOwner;
  entry.instance = ofn->hInstance;
  entry.filter = FilterTexts(ofn->lpstrFilter);
  entry.filterIndex = ofn->nFilterIndex;
  entry.initialFile = InitialFile(*ofn);
  entry.maxFile = ofn->nMaxFile;
  entry.initialDir = Text(ofn->lpstrInitialDir);
  entry.title = Text(ofn->lpstrTitle);
  entry.defaultExtension = Text(ofn->lpstrDefExt);
  entry.flags = ofn->Flags;
  size_t modal = UserBeginModal(SimModal::Dialog, ofn->hwndOwner, 0, save ? u"GetSaveFileNameW" : u"GetOpenFileNameW");
  FileAnswer answer;
  {
    std::lock_guard<std::recursive_mutex> guard(d.lock);
    entry.scripted = !d.fileAnswers.empty();
    if (entry.scripted) {
      answer = d.fileAnswers.front();
      d.fileAnswers.pop_front();
    }
  }
  DWORD error = 0;
  BOOL result = FALSE;
  if (answer.kind == FileAnswer::Error) {
    error = answer.error;
  } else if (answer.kind == FileAnswer::Path) {
    if (ofn->lpstrFile == nullptr || answer.path.size() + 1 > ofn->nMaxFile) {
      // The platform leaves the size it needs in the buffer's first character.
      if (ofn->lpstrFile != nullptr && ofn->nMaxFile >= 1) ofn->lpstrFile[0] = WCHAR(std::min<size_t>(answer.path.size() + 1, 0xFFFF));
      error = FNERR_BUFFERTOOSMALL;
    } else {
      std::copy(answer.path.begin(), answer.path.end(), ofn->lpstrFile);
      ofn->lpstrFile[answer.path.size()] = 0;
      Offsets(answer.path, ofn->nFileOffset, ofn->nFileExtension);
      if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0)
        lstrcpynW(ofn->lpstrFileTitle, answer.path.c_str() + ofn->nFileOffset, int(ofn->nMaxFileTitle));
      entry.path = answer.path;
      result = TRUE;
    }
  }
  entry.result = result;
  entry.extendedError = error;
  {
    std::lock_guard<std::recursive_mutex> guard(d.lock);
    d.extendedError = error;
    d.fileLog.push_back(entry);
  }
  UserEndModal(modal, result ? IDOK : IDCANCEL, entry.scripted, false, false);
  return result;
}

}  // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) { return RunFileDialog(ofn, false); }

BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn) { return RunFileDialog(ofn, true); }

BOOL ChooseColorW(LPCHOOSECOLORW cc) {
  Dialogs& d = D();
  if (cc == nullptr || cc->lStructSize != sizeof(CHOOSECOLORW)) {
    std::lock_guard<std::recursive_mutex> guard(d.lock);
    d.extendedError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  SimColorDialog entry;
  entry.owner = cc->hwndOwner;
  entry.flags = cc->Flags;
  entry.initial = cc->rgbResult;
  if (cc->lpCustColors != nullptr) entry.custom.assign(cc->lpCustColors, cc->lpCustColors + kCustomColours);
  size_t modal = UserBeginModal(SimModal::Dialog, cc->hwndOwner, 0, u"ChooseColorW");
  ColourAnswer answer;
  {
    std::lock_guard<std::recursive_mutex> guard(d.lock);
    entry.scripted = !d.colourAnswers.empty();
    if (entry.scripted) {
      answer = d.colourAnswers.front();
      d.colourAnswers.pop_front();
    }
    entry.result = answer.chosen ? TRUE : FALSE;
    if (answer.chosen) cc->rgbResult = entry.chosen = answer.colour;
    d.extendedError = 0;
    d.colourLog.push_back(entry);
  }
  UserEndModal(modal, answer.chosen ? IDOK : IDCANCEL, entry.scripted, false, false);
  return entry.result;
}

DWORD CommDlgExtendedError() {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  return d.extendedError;
}

void SimFileDialogAnswer(const std::u16string& path) {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  d.fileAnswers.push_back(FileAnswer{FileAnswer::Path, path, 0});
}

void SimFileDialogCancel() {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  d.fileAnswers.push_back(FileAnswer{FileAnswer::Cancel, u"", 0});
}

void SimFileDialogError(DWORD extendedError) {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  d.fileAnswers.push_back(FileAnswer{FileAnswer::Error, u"", extendedError});
}

std::vector<SimFileDialog> SimFileDialogLog() {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  return d.fileLog;
}

void SimChooseColorAnswer(COLORREF colour) {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  d.colourAnswers.push_back(ColourAnswer{true, colour});
}

void SimChooseColorCancel() {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  d.colourAnswers.push_back(ColourAnswer{false, 0});
}

std::vector<SimColorDialog> SimColorDialogLog() {
  Dialogs& d = D();
  std::lock_guard<std::recursive_mutex> guard(d.lock);
  return d.colourLog;
}
