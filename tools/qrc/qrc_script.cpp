// The resource script compiler (language in README.md).
#include "qrc_script.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/qrs.h"
#include "platform/user/dialog_template.h"
#include "platform/user/menu_template.h"

namespace {

// Style names a script may use, with the platform's values.
struct StyleName {
  const char* name;
  DWORD value;
};
constexpr StyleName kStyleNames[] = {
    {"WS_OVERLAPPED", 0x00000000}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000}, {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000}, {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000}, {"WS_THICKFRAME", 0x00040000}, {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000}, {"WS_MAXIMIZEBOX", 0x00010000},
    {"WS_EX_DLGMODALFRAME", 0x1}, {"WS_EX_NOPARENTNOTIFY", 0x4}, {"WS_EX_TOPMOST", 0x8}, {"WS_EX_TRANSPARENT", 0x20},
    {"WS_EX_TOOLWINDOW", 0x80}, {"WS_EX_WINDOWEDGE", 0x100}, {"WS_EX_CLIENTEDGE", 0x200},
    {"WS_EX_CONTEXTHELP", 0x400}, {"WS_EX_RIGHT", 0x1000}, {"WS_EX_RTLREADING", 0x2000},
    {"WS_EX_LEFTSCROLLBAR", 0x4000}, {"WS_EX_CONTROLPARENT", 0x10000}, {"WS_EX_STATICEDGE", 0x20000},
    {"WS_EX_LAYOUTRTL", 0x400000},
    {"DS_ABSALIGN", 0x1}, {"DS_SYSMODAL", 0x2}, {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8}, {"DS_NOFAILCREATE", 0x10},
    {"DS_LOCALEDIT", 0x20}, {"DS_SETFONT", 0x40}, {"DS_MODALFRAME", 0x80}, {"DS_NOIDLEMSG", 0x100},
    {"DS_SETFOREGROUND", 0x200}, {"DS_CONTROL", 0x400}, {"DS_CENTER", 0x800}, {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x48},
    {"BS_PUSHBUTTON", 0x0}, {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2}, {"BS_AUTOCHECKBOX", 0x3},
    {"BS_RADIOBUTTON", 0x4}, {"BS_3STATE", 0x5}, {"BS_AUTO3STATE", 0x6}, {"BS_GROUPBOX", 0x7},
    {"BS_AUTORADIOBUTTON", 0x9}, {"BS_OWNERDRAW", 0xB}, {"BS_LEFTTEXT", 0x20}, {"BS_ICON", 0x40},
    {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200}, {"BS_CENTER", 0x300}, {"BS_TOP", 0x400},
    {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00}, {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000},
    {"BS_FLAT", 0x8000},
    {"ES_LEFT", 0x0}, {"ES_CENTER", 0x1}, {"ES_RIGHT", 0x2}, {"ES_MULTILINE", 0x4}, {"ES_UPPERCASE", 0x8},
    {"ES_LOWERCASE", 0x10}, {"ES_PASSWORD", 0x20}, {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80},
    {"ES_NOHIDESEL", 0x100}, {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", 0x800}, {"ES_WANTRETURN", 0x1000},
    {"ES_NUMBER", 0x2000},
    {"SS_LEFT", 0x0}, {"SS_CENTER", 0x1}, {"SS_RIGHT", 0x2}, {"SS_ICON", 0x3}, {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5}, {"SS_WHITERECT", 0x6}, {"SS_BLACKFRAME", 0x7}, {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_OWNERDRAW", 0xD},
    {"SS_BITMAP", 0xE}, {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11}, {"SS_ETCHEDFRAME", 0x12},
    {"SS_NOPREFIX", 0x80}, {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200}, {"SS_RIGHTJUST", 0x400},
    {"SS_SUNKEN", 0x1000}, {"SS_ENDELLIPSIS", 0x4000}, {"SS_PATHELLIPSIS", 0x8000}, {"SS_WORDELLIPSIS", 0xC000},
    {"LBS_NOTIFY", 0x1}, {"LBS_SORT", 0x2}, {"LBS_NOREDRAW", 0x4}, {"LBS_MULTIPLESEL", 0x8},
    {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40},
    {"LBS_USETABSTOPS", 0x80}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200},
    {"LBS_WANTKEYBOARDINPUT", 0x400}, {"LBS_EXTENDEDSEL", 0x800}, {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_NOSEL", 0x4000},
    {"CBS_SIMPLE", 0x1}, {"CBS_DROPDOWN", 0x2}, {"CBS_DROPDOWNLIST", 0x3}, {"CBS_OWNERDRAWFIXED", 0x10},
    {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_OEMCONVERT", 0x80}, {"CBS_SORT", 0x100},
    {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_UPPERCASE", 0x2000}, {"CBS_LOWERCASE", 0x4000},
    {"SBS_HORZ", 0x0}, {"SBS_VERT", 0x1},
    {"UDS_WRAP", 0x1}, {"UDS_SETBUDDYINT", 0x2}, {"UDS_ALIGNRIGHT", 0x4}, {"UDS_ALIGNLEFT", 0x8},
    {"UDS_AUTOBUDDY", 0x10}, {"UDS_ARROWKEYS", 0x20}, {"UDS_HORZ", 0x40}, {"UDS_NOTHOUSANDS", 0x80},
    {"UDS_HOTTRACK", 0x100},
    {"TBS_AUTOTICKS", 0x1}, {"TBS_VERT", 0x2}, {"TBS_HORZ", 0x0}, {"TBS_TOP", 0x4}, {"TBS_BOTTOM", 0x0},
    {"TBS_LEFT", 0x4}, {"TBS_RIGHT", 0x0}, {"TBS_BOTH", 0x8}, {"TBS_NOTICKS", 0x10}, {"TBS_ENABLESELRANGE", 0x20},
    {"TBS_FIXEDLENGTH", 0x40}, {"TBS_NOTHUMB", 0x80}, {"TBS_TOOLTIPS", 0x100},
};

// Predefined control classes a script names by word.
struct ClassName {
  const char* name;
  WORD atom;
};
constexpr ClassName kClassNames[] = {
    {"button", kDialogClassButton},       {"edit", kDialogClassEdit},           {"static", kDialogClassStatic},
    {"listbox", kDialogClassListBox},     {"scrollbar", kDialogClassScrollBar}, {"combobox", kDialogClassComboBox},
};

struct MenuFlagName {
  const char* name;
  WORD flag;
};
constexpr MenuFlagName kMenuFlags[] = {{"grayed", MF_GRAYED},         {"disabled", MF_DISABLED},
                                       {"checked", MF_CHECKED},       {"help", MF_HELP},
                                       {"menubreak", MF_MENUBREAK}, {"menubarbreak", MF_MENUBARBREAK}};

// Scripts may include scripts, this many levels deep (a script including itself ends here).
constexpr int kMaxIncludeDepth = 16;

enum class TokenKind { kEnd, kNumber, kString, kWord, kSymbol };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;  // word, symbol, or the string's UTF-8 bytes
  long long number = 0;
  int line = 0;
};

struct ScriptError {
  int line;
  std::string message;
};

class Compiler {
 public:
  Compiler(const std::string& text, std::filesystem::path baseDir, QrsBuilder& out, std::vector<std::string>& deps,
           int depth = 0)
      : text_(text), baseDir_(std::move(baseDir)), out_(out), deps_(deps), depth_(depth) {}

  void Run() {
    Next();
    while (tok_.kind != TokenKind::kEnd) Statement();
  }

 private:
  [[noreturn]] void Fail(const std::string& message) { throw ScriptError{tok_.line, message}; }

  // ---- tokens ----
  void Next() {
    SkipBlanks();
    tok_ = Token{};
    tok_.line = line_;
    if (pos_ >= text_.size()) return;
    char c = text_[pos_];
    if (c == '"') {
      tok_.kind = TokenKind::kString;
      tok_.text = ReadString();
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
      tok_.kind = TokenKind::kNumber;
      tok_.number = ReadNumber();
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      tok_.kind = TokenKind::kWord;
      while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
        tok_.text.push_back(text_[pos_++]);
    } else if (c == '{' || c == '}' || c == '|') {
      tok_.kind = TokenKind::kSymbol;
      tok_.text = std::string(1, c);
      ++pos_;
    } else {
      Fail(std::string("unexpected character '") + c + "'");
    }
  }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  long long ReadNumber() {
    size_t start = pos_;
    bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    int base = 10;
    if (pos_ + 1 < text_.size() && text_[pos_] == '0' && (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')) {
      base = 16;
      pos_ += 2;
    }
    long long value = 0;
    size_t digits = 0;
    while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
      char d = char(std::tolower(static_cast<unsigned char>(text_[pos_])));
      int v = std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : d - 'a' + 10;
      if (v >= base) break;
      value = value * base + v;
      if (value > 0xFFFFFFFFLL) Fail("number too large: " + text_.substr(start, pos_ - start + 1));
      ++pos_;
      ++digits;
    }
    if (digits == 0) Fail("malformed number");
    return negative ? -value : value;
  }

  std::string ReadString() {
    std::string s;
    ++pos_;  // opening quote
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated string");
      char c = text_[pos_++];
      if (c == '"') return s;
      if (c != '\\') {
        s.push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated string");
      char e = text_[pos_++];
      switch (e) {
        case 'n': s.push_back('\n'); break;
        case 'r': s.push_back('\r'); break;
        case 't': s.push_back('\t'); break;
        case '0': s.push_back('\0'); break;
        case '\\': s.push_back('\\'); break;
        case '"': s.push_back('"'); break;
        case 'x': {
          if (pos_ + 2 > text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[pos_])) ||
              !std::isxdigit(static_cast<unsigned char>(text_[pos_ + 1])))
            Fail("\\x needs two hex digits");
          s.push_back(char(std::stoi(text_.substr(pos_, 2), nullptr, 16)));
          pos_ += 2;
          break;
        }
        default: Fail(std::string("unknown escape \\") + e);
      }
    }
  }

  bool IsWord(const char* w) const { return tok_.kind == TokenKind::kWord && tok_.text == w; }
  bool IsSymbol(char c) const { return tok_.kind == TokenKind::kSymbol && tok_.text[0] == c; }

  void Expect(char c) {
    if (!IsSymbol(c)) Fail(std::string("expected '") + c + "'");
    Next();
  }

  long long Number(long long min, long long max, const char* what) {
    if (tok_.kind != TokenKind::kNumber) Fail(std::string("expected a number for ") + what);
    long long v = tok_.number;
    if (v < min || v > max) Fail(std::string(what) + " out of range: " + std::to_string(v));
    Next();
    return v;
  }

  std::u16string Text(const char* what) {
    if (tok_.kind != TokenKind::kString) Fail(std::string("expected a quoted text for ") + what);
    std::string raw = tok_.text;
    Next();
    std::u16string text = Utf8ToUtf16(raw);
    if (text.find(u'\uFFFD') != std::u16string::npos && raw.find("\xEF\xBF\xBD") == std::string::npos)
      Fail(std::string("invalid UTF-8 in ") + what);
    return text;
  }

  // A resource type or name: a number 1..65535 or a quoted name.
  QrsName Name(const char* what) {
    if (tok_.kind == TokenKind::kNumber) return QrsName{WORD(Number(1, 0xFFFF, what)), {}};
    std::u16string text = Text(what);
    if (text.empty()) Fail(std::string("empty ") + what);
    if (text.find(u'\0') != std::u16string::npos) Fail(std::string("0 character in ") + what);
    return QrsName{0, text};
  }

  // A style: numbers and style names joined by '|'.
  DWORD Style() {
    DWORD value = 0;
    for (;;) {
      if (tok_.kind == TokenKind::kNumber) {
        value |= DWORD(Number(-0x80000000LL, 0xFFFFFFFFLL, "style"));
      } else if (tok_.kind == TokenKind::kWord) {
        auto* found = std::find_if(std::begin(kStyleNames), std::end(kStyleNames),
                                   [&](const StyleName& s) { return tok_.text == s.name; });
        if (found == std::end(kStyleNames)) Fail("unknown style name " + tok_.text);
        value |= found->value;
        Next();
      } else {
        Fail("expected a style");
      }
      if (!IsSymbol('|')) return value;
      Next();
    }
  }

  std::vector<BYTE> ReadFile(const std::u16string& name) {
    std::filesystem::path path = baseDir_ / std::filesystem::path(Utf16ToUtf8(name));
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path.string());
    deps_.push_back(path.string());
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // A builder refusal belongs to the statement that asked for it.
  void Check(bool ok, const std::string& error) {
    if (!ok) throw ScriptError{statementLine_, error};
  }

  // ---- statements ----
  void Statement() {
    if (tok_.kind != TokenKind::kWord) Fail("expected a statement");
    std::string word = tok_.text;
    int line = tok_.line;
    statementLine_ = line;
    Next();
    std::string error;
    if (word == "string") {
      UINT id = UINT(Number(0, 0xFFFF, "string id"));
      std::u16string text = Text("string");
      Check(out_.AddString(id, text, error), error);
    } else if (word == "strings") {
      Expect('{');
      while (!IsSymbol('}')) {
        UINT id = UINT(Number(0, 0xFFFF, "string id"));
        std::u16string text = Text("string");
        Check(out_.AddString(id, text, error), error);
      }
      Next();
    } else if (word == "icon" || word == "bitmap") {
      QrsName name = Name("resource name");
      std::vector<BYTE> bytes = ReadFile(Text("file name"));
      Check(word == "icon" ? out_.AddIcon(name, bytes, error) : out_.AddBitmap(name, bytes, error), error);
    } else if (word == "menu") {
      QrsName name = Name("menu name");
      MenuTemplate menu;
      Expect('{');
      MenuItems(menu.items, 1);
      Check(out_.AddMenu(name, menu, error), error);
    } else if (word == "dialog") {
      QrsName name = Name("dialog name");
      Dialog(name);
    } else if (word == "include") {
      Include(Text("file name"));
    } else if (word == "resource") {
      QrsName type = Name("resource type");
      QrsName name = Name("resource name");
      Check(out_.Add(type, name, Data(), error), error);
    } else {
      tok_.line = line;
      Fail("unknown statement " + word);
    }
  }

  // Another script compiled in place, its own files found relative to it; an error in it is
  // reported with its name and line.
  void Include(const std::u16string& name) {
    if (depth_ >= kMaxIncludeDepth) Check(false, "includes nest too deep");
    std::filesystem::path path = baseDir_ / std::filesystem::path(Utf16ToUtf8(name));
    std::vector<BYTE> bytes = ReadFile(name);
    try {
      const std::string included(bytes.begin(), bytes.end());
      Compiler(included, path.parent_path(), out_, deps_, depth_ + 1).Run();
    } catch (const ScriptError& e) {
      throw ScriptError{statementLine_, path.filename().string() + ":" + std::to_string(e.line) + ": " + e.message};
    }
  }

  // The bytes of a custom resource: file "name", hex "01 02 ...", text "utf-8", wtext "utf-16".
  std::vector<BYTE> Data() {
    if (tok_.kind != TokenKind::kWord) Fail("expected file, hex, text or wtext");
    std::string how = tok_.text;
    Next();
    if (how == "file") return ReadFile(Text("file name"));
    if (tok_.kind != TokenKind::kString) Fail("expected a quoted text after " + how);
    std::string raw = tok_.text;
    std::vector<BYTE> bytes;
    if (how == "text") {
      bytes.assign(raw.begin(), raw.end());
    } else if (how == "wtext") {
      for (WCHAR c : Utf8ToUtf16(raw)) {
        bytes.push_back(BYTE(c));
        bytes.push_back(BYTE(c >> 8));
      }
    } else if (how == "hex") {
      std::string digits;
      for (char c : raw) {
        if (c == ' ' || c == '\t') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) Fail("hex data holds a non-hex character");
        digits.push_back(c);
      }
      if (digits.size() % 2 != 0) Fail("hex data needs an even number of digits");
      for (size_t i = 0; i < digits.size(); i += 2) bytes.push_back(BYTE(std::stoi(digits.substr(i, 2), nullptr, 16)));
    } else {
      Fail("expected file, hex, text or wtext");
    }
    Next();
    return bytes;
  }

  WORD MenuFlags() {
    WORD flags = 0;
    while (tok_.kind == TokenKind::kWord) {
      auto* found = std::find_if(std::begin(kMenuFlags), std::end(kMenuFlags),
                                 [&](const MenuFlagName& f) { return tok_.text == f.name; });
      if (found == std::end(kMenuFlags)) return flags;
      flags |= found->flag;
      Next();
    }
    return flags;
  }

  // Items up to the closing brace (consumed).
  void MenuItems(std::vector<MenuItemTemplate>& items, int depth) {
    if (depth > kMenuMaxDepth) Fail("menus nest too deep");
    while (!IsSymbol('}')) {
      MenuItemTemplate item;
      if (IsWord("item")) {
        Next();
        item.id = WORD(Number(0, 0xFFFF, "menu item id"));
        item.text = Text("menu item");
        item.flags = MenuFlags();
      } else if (IsWord("separator")) {
        Next();
        item.flags = MF_SEPARATOR;
      } else if (IsWord("popup")) {
        int line = tok_.line;
        Next();
        item.text = Text("popup");
        item.flags = WORD(MenuFlags() | MF_POPUP);
        Expect('{');
        MenuItems(item.items, depth + 1);
        if (item.items.empty()) throw ScriptError{line, "popup without items"};
      } else {
        Fail("expected item, separator or popup");
      }
      items.push_back(std::move(item));
    }
    Next();
  }

  SHORT Coordinate() { return SHORT(Number(-32768, 32767, "coordinate")); }

  void Dialog(const QrsName& name) {
    DialogTemplate d;
    bool hasFont = false;
    Expect('{');
    while (!IsSymbol('}')) {
      if (tok_.kind != TokenKind::kWord) Fail("expected a dialog field");
      std::string field = tok_.text;
      Next();
      if (field == "rect") {
        d.x = Coordinate();
        d.y = Coordinate();
        d.cx = Coordinate();
        d.cy = Coordinate();
      } else if (field == "style") {
        d.style = Style();
      } else if (field == "exstyle") {
        d.exStyle = Style();
      } else if (field == "caption") {
        d.caption = Text("caption");
      } else if (field == "help") {
        d.helpId = DWORD(Number(0, 0xFFFFFFFFLL, "help id"));
      } else if (field == "menu") {
        d.menu = Name("menu name");
      } else if (field == "class") {
        d.windowClass = QrsName{0, Text("class name")};
      } else if (field == "font") {
        hasFont = true;
        d.pointSize = WORD(Number(1, 0xFFFF, "point size"));
        d.face = Text("font face");
        if (tok_.kind == TokenKind::kNumber) d.weight = WORD(Number(0, 1000, "font weight"));
        if (tok_.kind == TokenKind::kNumber) d.italic = BYTE(Number(0, 1, "italic"));
        if (tok_.kind == TokenKind::kNumber) d.charset = BYTE(Number(0, 255, "character set"));
      } else if (field == "control") {
        d.controls.push_back(Control());
      } else {
        Fail("unknown dialog field " + field);
      }
    }
    Next();
    if (hasFont) d.style |= DS_SETFONT;
    if ((d.style & DS_SETFONT) && !hasFont) Fail("DS_SETFONT without a font line");
    std::string error;
    Check(out_.AddDialog(name, d, error), error);
  }

  // control ID CLASS TEXT STYLE X Y CX CY [EXSTYLE]; CLASS is a word (Button, Edit, Static,
  // ListBox, ScrollBar, ComboBox) or a quoted class name; TEXT is quoted, or a number (a
  // resource number, such as the icon of an SS_ICON static).
  DialogControlTemplate Control() {
    DialogControlTemplate c;
    c.id = DWORD(Number(-1, 0xFFFF, "control id")) & 0xFFFF;
    if (tok_.kind == TokenKind::kWord) {
      std::string lower;
      for (char ch : tok_.text) lower.push_back(char(std::tolower(static_cast<unsigned char>(ch))));
      auto* found = std::find_if(std::begin(kClassNames), std::end(kClassNames),
                                 [&](const ClassName& n) { return lower == n.name; });
      if (found == std::end(kClassNames)) Fail("unknown control class " + tok_.text + " (quote other class names)");
      c.windowClass = QrsName{found->atom, {}};
      Next();
    } else {
      c.windowClass = QrsName{0, Text("class name")};
      if (c.windowClass.text.empty()) Fail("empty class name");
    }
    if (tok_.kind == TokenKind::kNumber)
      c.text = QrsName{WORD(Number(1, 0xFFFF, "resource number")), {}};
    else
      c.text = QrsName{0, Text("control text")};
    c.style = Style();
    c.x = Coordinate();
    c.y = Coordinate();
    c.cx = Coordinate();
    c.cy = Coordinate();
    if (tok_.kind == TokenKind::kNumber || (tok_.kind == TokenKind::kWord && tok_.text.rfind("WS_EX_", 0) == 0))
      c.exStyle = Style();
    return c;
  }

  const std::string& text_;
  std::filesystem::path baseDir_;
  QrsBuilder& out_;
  std::vector<std::string>& deps_;
  int depth_;
  size_t pos_ = 0;
  int line_ = 1;
  int statementLine_ = 1;
  Token tok_;
};

}  // namespace

QrcOutcome CompileResourceScript(const std::string& text, const std::string& scriptName,
                                 const std::filesystem::path& baseDir, QrsBuilder& out) {
  QrcOutcome outcome;
  try {
    Compiler(text, baseDir, out, outcome.dependencies).Run();
    outcome.ok = true;
  } catch (const ScriptError& e) {
    outcome.error = scriptName + ":" + std::to_string(e.line) + ": " + e.message;
  }
  return outcome;
}

std::string EmitModuleResourceSource(const std::vector<BYTE>& container) {
  std::string out =
      "// Generated by qrc: the module's resource block, found by the module loader.\n"
      "#include <cstddef>\n\n"
      "extern \"C\" __attribute__((visibility(\"default\"), aligned(16))) const unsigned char QvModuleResources[] = {";
  char buf[8];
  for (size_t i = 0; i < container.size(); ++i) {
    if (i % 16 == 0) out += "\n   ";
    std::snprintf(buf, sizeof buf, " %u,", unsigned(container[i]));
    out += buf;
  }
  out += "\n};\nextern \"C\" __attribute__((visibility(\"default\"))) const std::size_t QvModuleResourcesSize = " +
         std::to_string(container.size()) + ";\n";
  return out;
}
