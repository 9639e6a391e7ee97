// Text model -> DddModel. One statement per line; an indented line continues the statement
// above it; "#" starts a comment outside quotes. See README.md for the grammar.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "platform/base/types.h"
#include "tools/dddtool/ddd_model.h"
#include "tools/dddtool/ddd_syntax.h"

namespace {

struct Token {
  enum Kind { WORD, STRING, OPEN_LIST, CLOSE_LIST, OPEN_GROUP, CLOSE_GROUP } kind;
  std::string text;
  int line;
  int file = 0;  // index into the model's file names; 0 is the model itself
};

struct ParseError : std::runtime_error {
  int line;
  int file = 0;
  ParseError(int l, const std::string& what, int f = 0) : std::runtime_error(what), line(l), file(f) {}
};

// Included model files nest at most this deep (a file including itself stops here).
constexpr int kMaxIncludeDepth = 16;

// The code pages a model's texts may be stored in, and their converter names.
struct CodePageName {
  long codePage;
  const char* converter;
};
constexpr CodePageName kModelCodePages[] = {
    {1252, "WINDOWS-1252"}, {932, "CP932"}, {936, "CP936"}, {949, "CP949"}, {950, "CP950"}};
constexpr long kDefaultModelCodePage = 1252;

const char* ConverterOf(long codePage) {
  for (const CodePageName& c : kModelCodePages)
    if (c.codePage == codePage) return c.converter;
  return nullptr;
}

// The code page a "codepage N" line of the model names (the first one), else the default. The
// texts are converted while the file is split into tokens, so it is read ahead of them.
long FindModelCodePage(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string line = text.substr(at, end - at);
    if (line.rfind("codepage", 0) == 0 && line.size() > 8 && (line[8] == ' ' || line[8] == '\t'))
      return std::strtol(line.c_str() + 9, nullptr, 10);
    at = end + 1;
  }
  return kDefaultModelCodePage;
}

// Converts the UTF-8 characters of a model text into the model's code page; escapes (\xNN)
// stay the bytes they name and are not passed through here.
std::string ToModelCodePage(const std::string& utf8, long codePage, int line) {
  const char* converter = ConverterOf(codePage);
  if (converter == nullptr) throw ParseError(line, "code page " + std::to_string(codePage) + " is not one of 1252, 932, 936, 949, 950");
  iconv_t cd = iconv_open(converter, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw ParseError(line, std::string("no converter for ") + converter);
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(cd, &in, &inLeft, &to, &outLeft);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1) || inLeft != 0)
    throw ParseError(line, "text \"" + utf8 + "\" is not UTF-8 that code page " + std::to_string(codePage) + " can hold");
  out.resize(out.size() - outLeft);
  return out;
}

// Splits the text into statements of tokens; texts are stored in the given code page.
std::vector<std::vector<Token>> Tokenize(const std::string& text, long codePage, int file) {
  std::vector<std::vector<Token>> statements;
  int line = 1;
  bool lineStart = true;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\n') {
      ++line;
      lineStart = true;
      ++i;
      continue;
    }
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
      lineStart = false;
      ++i;
      continue;
    }
    if (lineStart || statements.empty()) statements.emplace_back();
    lineStart = false;
    auto& out = statements.back();
    if (c == '"') {
      std::string s;
      ++i;
      for (;;) {
        if (i >= text.size() || text[i] == '\n') throw ParseError(line, "unterminated text");
        char d = text[i++];
        if (d == '"') break;
        if (static_cast<unsigned char>(d) >= 0x80) {
          // A run of characters beyond ASCII: UTF-8 in the model, the code page in the database.
          std::string run(1, d);
          while (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x80) run += text[i++];
          s += ToModelCodePage(run, codePage, line);
          continue;
        }
        if (d != '\\') {
          s += d;
          continue;
        }
        if (i >= text.size()) throw ParseError(line, "unterminated text");
        char e = text[i++];
        if (e == 'n') s += '\n';
        else if (e == 'r') s += '\r';
        else if (e == 't') s += '\t';
        else if (e == 'x') {
          if (i + 2 > text.size()) throw ParseError(line, "bad \\x escape");
          std::string hex = text.substr(i, 2);
          char* end = nullptr;
          long v = std::strtol(hex.c_str(), &end, 16);
          if (end != hex.c_str() + 2) throw ParseError(line, "bad \\x escape");
          s += static_cast<char>(v);
          i += 2;
        } else s += e;
      }
      out.push_back({Token::STRING, s, line, file});
      continue;
    }
    if (c == '[' || c == ']' || c == '(' || c == ')') {
      Token::Kind k = c == '[' ? Token::OPEN_LIST : c == ']' ? Token::CLOSE_LIST : c == '(' ? Token::OPEN_GROUP : Token::CLOSE_GROUP;
      out.push_back({k, std::string(1, c), line, file});
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < text.size() && !std::strchr(" \t\r\n,#\"[]()", text[i])) ++i;
    out.push_back({Token::WORD, text.substr(start, i - start), line, file});
  }
  return statements;
}

// The statements of a model with its "include" statements replaced by the statements of the
// files they name (relative to the including file), in place. `files` collects every file's
// name for messages.
void ExpandIncludes(std::vector<std::vector<Token>>& statements, const std::string& dir, long codePage, int depth,
                    std::vector<std::string>& files) {
  std::vector<std::vector<Token>> out;
  for (auto& statement : statements) {
    if (statement.empty() || statement[0].kind != Token::WORD || statement[0].text != "include") {
      out.push_back(std::move(statement));
      continue;
    }
    const Token& head = statement[0];
    if (statement.size() != 2 || statement[1].kind != Token::STRING)
      throw ParseError(head.line, "include takes one quoted file name", head.file);
    if (depth >= kMaxIncludeDepth) throw ParseError(head.line, "includes nest too deep", head.file);
    const std::string name = statement[1].text;
    const std::string path = !name.empty() && name[0] == '/' ? name : dir + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ParseError(head.line, "cannot read file " + path, head.file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int file = static_cast<int>(files.size());
    files.push_back(name);
    std::vector<std::vector<Token>> included = Tokenize(text, codePage, file);
    const std::size_t slash = path.find_last_of('/');
    ExpandIncludes(included, slash == std::string::npos ? "." : path.substr(0, slash), codePage, depth + 1, files);
    for (auto& s : included) out.push_back(std::move(s));
  }
  statements = std::move(out);
}

// Record types whose key is their position among the records of their type. Such a record may
// give a name ("@name") in place of its key; "@name" anywhere else stands for that position.
bool IsPositionalRecord(const std::string& head) {
  return head == "choice" || head == "flagchoice" || head == "rule" || head == "requirement";
}

void ResolveKeyNames(std::vector<std::vector<Token>>& statements) {
  std::map<std::string, int> positions;  // records of each positional type so far
  std::map<std::string, std::string> names;
  for (auto& statement : statements) {
    if (statement.size() < 2 || statement[0].kind != Token::WORD || !IsPositionalRecord(statement[0].text)) continue;
    const int position = ++positions[statement[0].text];
    Token& key = statement[1];
    if (key.kind != Token::WORD || key.text.empty() || key.text[0] != '@') continue;
    if (!names.emplace(key.text, std::to_string(position)).second)
      throw ParseError(key.line, "key name " + key.text + " given twice", key.file);
  }
  for (auto& statement : statements) {
    for (Token& token : statement) {
      if (token.kind != Token::WORD || token.text.empty() || token.text[0] != '@') continue;
      auto found = names.find(token.text);
      if (found == names.end()) throw ParseError(token.line, "unknown key name " + token.text, token.file);
      token.text = found->second;
    }
  }
}

class Parser {
 public:
  Parser(std::vector<Token> tokens, const std::string& baseDir) : tokens_(std::move(tokens)), baseDir_(baseDir) {}

  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token* Current() const {
    return tokens_.empty() ? nullptr : &tokens_[pos_ < tokens_.size() ? pos_ : tokens_.size() - 1];
  }
  int Line() const { return Current() != nullptr ? Current()->line : 0; }
  [[noreturn]] void Fail(const std::string& what) const {
    throw ParseError(Line(), what, Current() != nullptr ? Current()->file : 0);
  }

  const Token& Peek() const {
    if (AtEnd()) Fail("statement ends too early");
    return tokens_[pos_];
  }
  Token Next() {
    const Token& t = Peek();
    ++pos_;
    return t;
  }
  // Puts a word back in front of the remaining tokens (used after splitting "name=value").
  void PushWord(const std::string& word, int line) {
    tokens_.insert(tokens_.begin() + static_cast<long>(pos_),
                   Token{Token::WORD, word, line, Current() != nullptr ? Current()->file : 0});
  }
  void Expect(Token::Kind kind, const char* what) {
    if (Next().kind != kind) Fail(std::string("expected ") + what);
  }
  std::string Word() {
    Token t = Next();
    if (t.kind != Token::WORD) Fail("expected a word, got \"" + t.text + "\"");
    return t.text;
  }
  std::string String() {
    Token t = Next();
    if (t.kind != Token::STRING) Fail("expected a quoted text");
    return t.text;
  }

  long long Integer(long long min, long long max) {
    std::string w = Word();
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(w.c_str(), &end, 0);
    if (w.empty() || *end != 0 || errno != 0) Fail("\"" + w + "\" is not a number");
    if (v < min || v > max) Fail("number " + w + " is out of range");
    return v;
  }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Integer(0, 0xFFFF)); }

  DddText Text() {
    const Token& t = Peek();
    DddText text;
    if (t.kind == Token::STRING) {
      text.text = String();
      return text;
    }
    if (t.kind == Token::WORD && t.text == "str") {
      Next();
      Expect(Token::OPEN_GROUP, "(");
      text.reference = true;
      text.library = static_cast<std::uint16_t>(Integer(1, 0xFFFF));
      text.id = static_cast<std::uint16_t>(Integer(1, 0xFFFF));
      if (Peek().kind == Token::STRING) text.text = String();
      Expect(Token::CLOSE_GROUP, ")");
      return text;
    }
    Fail("expected a text: \"...\" or str(LIBRARY ID)");
  }

  std::vector<std::uint8_t> Bytes() {
    std::string w = Word();
    std::string rest;
    if (w == "file:") {
      std::string name = String();
      std::string path = name.size() && name[0] == '/' ? name : baseDir_ + "/" + name;
      std::ifstream in(path, std::ios::binary);
      if (!in) Fail("cannot read file " + path);
      return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    if (w.rfind("hex:", 0) != 0) Fail("expected bytes: hex:... or file:\"...\"");
    return ParseHex(w.substr(4));
  }

  std::vector<std::uint8_t> ParseHex(const std::string& hex) {
    if (hex.size() % 2) Fail("odd number of hex digits");
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
      if (hi < 0 || lo < 0) Fail("bad hex digit");
      out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
  }

  DddValue Value() {
    std::string w = Word();
    if (w == "none") return {};
    std::size_t colon = w.find(':');
    if (colon == std::string::npos) Fail("expected a value TYPE:VALUE, got \"" + w + "\"");
    std::string name = w.substr(0, colon), rest = w.substr(colon + 1);
    DddValue v;
    if (name.rfind("raw", 0) == 0) {  // raw<T>:hex
      char* end = nullptr;
      long t = std::strtol(name.c_str() + 3, &end, 10);
      if (name.size() == 3 || *end || t < 0 || t > 255) Fail("bad raw value type");
      v.type = static_cast<std::uint8_t>(t);
      v.bytes = ParseHex(rest);
      return v;
    }
    const DddValueSyntax* syntax = FindValueSyntaxByName(name);
    if (!syntax) Fail("unknown value type \"" + name + "\"");
    v.type = syntax->type;
    if (syntax->type == DDD_VALUE_STRING) {
      if (!rest.empty()) PushWord(rest, Line());
      v.bytes = EncodeDddText(Text());
      return v;
    }
    if (rest.empty()) rest = Word();
    if (syntax->type == DDD_VALUE_FLOAT) {
      char* end = nullptr;
      float f = std::strtof(rest.c_str(), &end);
      if (*end) Fail("bad number " + rest);
      std::uint32_t bits;
      std::memcpy(&bits, &f, 4);
      AppendLe(v.bytes, bits, 4);
      return v;
    }
    if (syntax->type == DDD_VALUE_FONT) {
      v.bytes = ParseHex(rest);
      return v;
    }
    PushWord(rest, Line());
    long long n = Integer(syntax->min, syntax->max);
    AppendLe(v.bytes, static_cast<std::uint64_t>(n), syntax->size);
    return v;
  }

  // (ITEM OP VALUE [CONNECTOR])
  DddItemValue ItemValue(bool condition) {
    Expect(Token::OPEN_GROUP, "(");
    DddItemValue iv;
    iv.item = U16();
    std::string op = Word();
    int code = FindOperatorCode(op);
    if (code < 0) {
      PushWord(op, Line());
      code = static_cast<int>(Integer(0, 255));
    }
    iv.op = static_cast<std::uint8_t>(code);
    iv.value = Value();
    if (condition) {
      std::string c = Word();
      int cc = FindConnectorCode(c);
      if (cc < 0) {
        PushWord(c, Line());
        cc = static_cast<int>(Integer(0, 255));
      }
      iv.connector = static_cast<std::uint8_t>(cc);
    }
    if (Peek().kind == Token::WORD && Peek().text.rfind("spare=", 0) == 0) {
      std::string s = Word().substr(6);
      PushWord(s, Line());
      iv.spare = U16();
    }
    Expect(Token::CLOSE_GROUP, ")");
    return iv;
  }

  // WxL
  std::array<std::uint16_t, 3> Pair(bool withKey) {
    std::string w = Word();
    std::array<std::uint16_t, 3> out{};
    std::size_t x = w.find('x');
    std::size_t at = w.find('@');
    if (x == std::string::npos || (withKey && at == std::string::npos) || (!withKey && at != std::string::npos))
      Fail(withKey ? "expected WIDTHxHEIGHT@KEY" : "expected WIDTHxLENGTH");
    PushWord(w.substr(0, x), Line());
    out[0] = U16();
    PushWord(w.substr(x + 1, withKey ? at - x - 1 : std::string::npos), Line());
    out[1] = U16();
    if (withKey) {
      PushWord(w.substr(at + 1), Line());
      out[2] = U16();
    }
    return out;
  }

  template <typename F>
  void List(F each) {
    Expect(Token::OPEN_LIST, "[");
    while (Peek().kind != Token::CLOSE_LIST) each();
    Next();
  }

  void Field(const DddRecordShape& shape, DddRecord& record) {
    Token t = Next();
    std::size_t eq = t.text.find('=');
    if (t.kind != Token::WORD || eq == std::string::npos || eq == 0) Fail("expected FIELD=VALUE, got \"" + t.text + "\"");
    std::string name = t.text.substr(0, eq), rest = t.text.substr(eq + 1);
    if (!rest.empty()) PushWord(rest, t.line);
    int index = -1;
    for (int i = 0; i < shape.fieldCount; ++i)
      if (name == shape.fields[i].name) index = i;
    if (index < 0) Fail(std::string("record type ") + shape.name + " has no field \"" + name + "\"");
    DddFieldValue& f = record.fields[index];
    if (f.given) Fail("field \"" + name + "\" given twice");
    f.given = true;
    switch (shape.fields[index].kind) {
      case DDD_FIELD_TEXT: f.text = Text(); break;
      case DDD_FIELD_U8: f.number = static_cast<std::uint32_t>(Integer(0, 0xFF)); break;
      case DDD_FIELD_U16: f.number = U16(); break;
      case DDD_FIELD_U32: f.number = static_cast<std::uint32_t>(Integer(0, 0xFFFFFFFFll)); break;
      case DDD_FIELD_KEYS: List([&] { f.keys.push_back(U16()); }); break;
      case DDD_FIELD_CONDITIONS: List([&] { f.items.push_back(ItemValue(true)); }); break;
      case DDD_FIELD_ITEM_VALUE: f.items.push_back(ItemValue(false)); break;
      case DDD_FIELD_ITEM_VALUES: List([&] { f.items.push_back(ItemValue(false)); }); break;
      case DDD_FIELD_VALUE: f.value = Value(); break;
      case DDD_FIELD_PAIR: f.triples.push_back(Pair(false)); break;
      case DDD_FIELD_PICTURE_REF: f.triples.push_back(Pair(true)); break;
      case DDD_FIELD_TEXTS:
      case DDD_FIELD_COUNTED_TEXTS: List([&] { f.texts.push_back(Text()); }); break;
      case DDD_FIELD_VALUES:
      case DDD_FIELD_COUNTED_VALUES: List([&] { f.values.push_back(Value()); }); break;
      case DDD_FIELD_TRIPLES:
        List([&] {
          Expect(Token::OPEN_GROUP, "(");
          std::array<std::uint16_t, 3> tr{U16(), U16(), U16()};
          Expect(Token::CLOSE_GROUP, ")");
          f.triples.push_back(tr);
        });
        break;
      case DDD_FIELD_BYTES16:
      case DDD_FIELD_BYTES32:
      case DDD_FIELD_PICTURE: f.bytes = Bytes(); break;
      case DDD_FIELD_PRESETS:
        List([&] {
          Expect(Token::OPEN_GROUP, "(");
          DddPresetEntry e;
          e.item = U16();
          e.value = Value();
          Expect(Token::CLOSE_GROUP, ")");
          f.presets.push_back(e);
        });
        break;
      case DDD_FIELD_ARRAY:
        // Numbers now; sized by the record's element size when the image is built.
        if (Peek().kind == Token::WORD) f.bytes = Bytes();
        else List([&] { f.integers.push_back(Integer(-0x80000000ll, 0xFFFFFFFFll)); });
        break;
    }
  }

  void Statement(DddModel& model) {
    int line = Line();
    std::string head = Word();
    if (head == "model") model.modelName = String();
    else if (head == "display") model.displayName = String();
    else if (head == "version") model.version = String();
    else if (head == "codepage") {
      const long codePage = static_cast<long>(Integer(0, 65535));
      if (!ConverterOf(codePage)) Fail("code page " + std::to_string(codePage) + " is not one of 1252, 932, 936, 949, 950");
    }
    else if (head == "linked") model.linkedName = String();
    else if (head == "level") model.level = static_cast<std::uint32_t>(Integer(0, 0xFFFFFFFFll));
    else if (head == "section") {
      long long id = Integer(0, DDD_SECTION_COUNT - 1);
      if (id == DDD_SECTION_DIRECTORY) Fail("section 0 is written by the tool");
      const SectionTableRow& row = DDD_SECTION_TABLE[id];
      DddSection& s = model.sections[id];
      if (s.given) Fail("section given twice");
      s.given = true;
      bool list = row.count == DDD_COUNT_IN_FILE;
      auto one = [&] {
        if (row.size == DDD_SIZE_IN_FILE) s.texts.push_back(Text());
        else
          s.numbers.push_back(static_cast<std::uint32_t>(
              Integer(0, row.size >= 4 ? 0xFFFFFFFFll : (1ll << (8 * row.size)) - 1)));
      };
      if (list) List(one);
      else one();
    } else if (const DddRecordShape* shape = FindRecordShapeByName(head)) {
      DddRecord record;
      record.type = shape->type;
      record.line = line;
      record.key = U16();
      record.fields = MakeDddFields(shape->type);
      if (!AtEnd() && Peek().kind == Token::WORD && Peek().text == "linked") {
        Next();
        record.linked = true;
      }
      while (!AtEnd()) Field(*shape, record);
      model.records.push_back(std::move(record));
    } else Fail("unknown statement \"" + head + "\"");
    if (!AtEnd()) Fail("unexpected \"" + Peek().text + "\"");
  }

 private:
  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  std::string baseDir_;
};

}  // namespace

std::vector<DddFieldValue> MakeDddFields(std::uint16_t type) {
  const DddRecordShape* shape = FindRecordShape(type);
  return std::vector<DddFieldValue>(shape ? shape->fieldCount : 0);
}

bool ParseDddModel(const std::string& text, const std::string& baseDir, DddModel* model, std::string* error) {
  *model = DddModel{};
  std::vector<std::string> files{""};
  try {
    const long codePage = FindModelCodePage(text);
    std::vector<std::vector<Token>> statements = Tokenize(text, codePage, 0);
    ExpandIncludes(statements, baseDir, codePage, 0, files);
    ResolveKeyNames(statements);
    for (auto& statement : statements) {
      Parser parser(std::move(statement), baseDir);
      parser.Statement(*model);
    }
  } catch (const ParseError& e) {
    const std::string where = e.file > 0 ? files[static_cast<std::size_t>(e.file)] + " " : "";
    *error = where + "line " + std::to_string(e.line) + ": " + e.what();
    return false;
  }
  return true;
}

bool BuildDddImageFromText(const std::string& text, DddImage* image, std::string* error) {
  DddModel model;
  return ParseDddModel(text, ".", &model, error) && BuildDddImage(model, image, error);
}
