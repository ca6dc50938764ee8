#include "core/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "core/PathText.h"

namespace zv {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsUtf16(TextForm f) {
  return f == TextForm::Utf16Le || f == TextForm::Utf16LeMark || f == TextForm::Utf16Be || f == TextForm::Utf16BeMark;
}
bool IsBigEndian(TextForm f) { return f == TextForm::Utf16Be || f == TextForm::Utf16BeMark; }

std::string_view MarkOf(TextForm f) {
  switch (f) {
    case TextForm::Utf8Mark: return kUtf8Mark;
    case TextForm::Utf16LeMark: return kUtf16LeMark;
    case TextForm::Utf16BeMark: return kUtf16BeMark;
    default: return {};
  }
}

void PushCodePoint(std::wstring& out, uint32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Length of the valid UTF-8 sequence at i, 0 when it is not one.
size_t Utf8Length(std::string_view b, size_t i, uint32_t* cp) {
  const auto at = [&](size_t k) { return static_cast<uint8_t>(b[k]); };
  const uint8_t c = at(i);
  if (c < 0x80) {
    *cp = c;
    return 1;
  }
  size_t n;
  uint32_t v, min;
  if ((c & 0xE0) == 0xC0) n = 2, v = c & 0x1F, min = 0x80;
  else if ((c & 0xF0) == 0xE0) n = 3, v = c & 0x0F, min = 0x800;
  else if ((c & 0xF8) == 0xF0) n = 4, v = c & 0x07, min = 0x10000;
  else return 0;
  if (i + n > b.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
    v = v << 6 | (at(i + k) & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return n;
}

std::wstring DecodeUtf8(std::string_view b) {
  std::wstring out;
  out.reserve(b.size());
  for (size_t i = 0; i < b.size();) {
    uint32_t cp = 0;
    const size_t n = Utf8Length(b, i, &cp);
    PushCodePoint(out, n ? cp : 0xFFFD);
    i += n ? n : 1;
  }
  return out;
}

std::wstring DecodeUtf16(std::string_view b, bool bigEndian) {
  std::wstring out;
  out.reserve(b.size() / 2);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    const auto lo = static_cast<uint8_t>(b[i + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<uint8_t>(b[i + (bigEndian ? 0 : 1)]);
    const uint32_t unit = static_cast<uint32_t>(hi << 8 | lo);
    if constexpr (sizeof(wchar_t) == 4) {
      // A pair joined into the one character a wide string holds here.
      if (unit >= 0xDC00 && unit <= 0xDFFF && !out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) {
        out.back() = static_cast<wchar_t>(0x10000 + ((static_cast<uint32_t>(out.back()) - 0xD800) << 10) + (unit - 0xDC00));
        continue;
      }
    }
    out.push_back(static_cast<wchar_t>(unit));
  }
  return out;
}

// Code points of wide text (pairs joined where wchar_t is 16 bits).
template <typename F>
void ForEachCodePoint(std::wstring_view text, F f) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
        static_cast<uint32_t>(text[i + 1]) >= 0xDC00 && static_cast<uint32_t>(text[i + 1]) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
    }
    f(c);
  }
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string out;
  ForEachCodePoint(text, [&](uint32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}


std::optional<std::string> Encode(std::wstring_view text, TextForm form, const IAnsiCodePage& ansi) {
  if (form == TextForm::Ansi) return ansi.Encode(text);
  if (IsUtf16(form)) return EncodeUtf16(text, IsBigEndian(form));
  return EncodeUtf8(text);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == 0x1A; }

struct Span {
  size_t begin, end, next;
};

// Lines ended by CR LF, LF or CR; the last one may have no end.
template <typename Text, typename Unit>
std::vector<Span> SplitLines(const Text& text, size_t from, Unit cr, Unit lf) {
  std::vector<Span> spans;
  size_t begin = from;
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] != cr && text[i] != lf) continue;
    const size_t end = i;
    if (text[i] == cr && i + 1 < text.size() && text[i + 1] == lf) ++i;
    spans.push_back({begin, end, i + 1});
    begin = i + 1;
  }
  if (begin < text.size()) spans.push_back({begin, text.size(), text.size()});
  return spans;
}

}  // namespace

std::string EncodeUtf16(std::wstring_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  auto unit = [&](uint32_t u) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8 & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  };
  ForEachCodePoint(text, [&](uint32_t c) {
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  });
  return out;
}

TextForm DetectTextForm(std::string_view b) {
  if (b.starts_with(kUtf16LeMark)) return TextForm::Utf16LeMark;
  if (b.starts_with(kUtf16BeMark)) return TextForm::Utf16BeMark;
  if (b.starts_with(kUtf8Mark)) return TextForm::Utf8Mark;
  // Settings lines are mostly ASCII: in UTF-16 every other byte is NUL.
  const size_t probe = std::min<size_t>(b.size(), 4096) & ~size_t{1};
  size_t evenNul = 0, oddNul = 0;
  for (size_t i = 0; i < probe; ++i)
    if (b[i] == '\0') ++(i % 2 ? oddNul : evenNul);
  const size_t enough = std::max<size_t>(1, probe / 16);
  // A few characters have a NUL byte on the other side (U+0100, a pair's D800).
  if (oddNul >= enough && evenNul * 8 < oddNul) return TextForm::Utf16Le;
  if (evenNul >= enough && oddNul * 8 < evenNul) return TextForm::Utf16Be;
  bool multiByte = false;
  for (size_t i = 0; i < b.size();) {
    if (static_cast<uint8_t>(b[i]) < 0x80) {
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t n = Utf8Length(b, i, &cp);
    if (n == 0) return TextForm::Ansi;
    multiByte = true;
    i += n;
  }
  return multiByte ? TextForm::Utf8 : TextForm::Ansi;
}

std::wstring ProfileText(std::wstring_view raw) {
  if (raw.size() > 1 && (raw[0] == L'"' || raw[0] == L'\'') && raw.back() == raw[0])
    return std::wstring(raw.substr(1, raw.size() - 2));
  return std::wstring(raw);
}

int ProfileNumber(std::optional<std::wstring_view> raw, int fallback) {
  if (!raw) return fallback;
  // The number read copies into 30 characters: a pair of quotes goes (the closing one only
  // when it fits), then at most 29 characters.
  std::wstring_view value = *raw;
  const bool quoted = value.size() > 1 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0];
  if (quoted) value.remove_prefix(1);
  std::wstring_view text = value.substr(0, 29);
  if (quoted && 30 >= value.size()) text.remove_suffix(1);
  if (text.empty()) return fallback;

  size_t i = 0;
  while (i < text.size() && text[i] <= L' ') ++i;
  bool minus = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) minus = text[i++] == L'-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == L'0') {
    const wchar_t prefix = text[i + 1];
    base = prefix == L'b' ? 2 : prefix == L'o' ? 8 : prefix == L'x' ? 16 : 10;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const unsigned digit = c >= L'0' && c <= L'9'   ? c - L'0'
                           : c >= L'A' && c <= L'Z' ? c - L'A' + 10
                           : c >= L'a' && c <= L'z' ? c - L'a' + 10
                                                    : 99;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<int>(minus ? 0u - total : total);
}

SettingsText::SettingsText(std::string bytes, const IAnsiCodePage& ansi) : bytes_(std::move(bytes)) {
  form_ = DetectTextForm(bytes_);
  const std::string_view all = bytes_;
  const size_t mark = MarkOf(form_).size();
  std::vector<Span> byteLines;
  if (IsUtf16(form_)) {
    text_ = DecodeUtf16(all.substr(mark), IsBigEndian(form_));
    // The same lines over the code units, as byte offsets.
    std::u16string units;
    units.reserve((all.size() - mark) / 2);
    for (size_t i = mark; i + 1 < all.size(); i += 2) {
      const auto a = static_cast<uint8_t>(all[i]), b = static_cast<uint8_t>(all[i + 1]);
      units.push_back(static_cast<char16_t>(IsBigEndian(form_) ? a << 8 | b : b << 8 | a));
    }
    for (const auto& s : SplitLines(units, 0, u'\r', u'\n'))
      byteLines.push_back({mark + 2 * s.begin, mark + 2 * s.end, mark + 2 * s.next});
  } else {
    text_ = form_ == TextForm::Ansi ? ansi.Decode(all) : DecodeUtf8(all.substr(mark));
    byteLines = SplitLines(all, mark, '\r', '\n');
  }
  // Line ends are single bytes or units in every form, so the n-th line of the bytes is the
  // n-th line of the text.
  const std::vector<Span> textLines = SplitLines(text_, 0, L'\r', L'\n');
  const size_t n = std::min(byteLines.size(), textLines.size());
  lines_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    Line& l = lines_[i];
    l.byteBegin = byteLines[i].begin, l.byteEnd = byteLines[i].end, l.byteNext = byteLines[i].next;
    l.textBegin = textLines[i].begin, l.textEnd = textLines[i].end, l.textNext = textLines[i].next;
  }
  for (const auto& l : lines_) {
    if (l.textNext > l.textEnd) {
      lineEnd_ = text_.substr(l.textEnd, l.textNext - l.textEnd);
      break;
    }
  }
  ReadLines();
}

void SettingsText::ReadLines() {
  for (Line& l : lines_) {
    size_t b = l.textBegin, e = l.textEnd;
    while (b < e && IsBlank(text_[b])) ++b;
    while (e > b && IsBlank(text_[e - 1])) --e;
    if (b == e) continue;
    const std::wstring_view body(text_.data() + b, e - b);
    const size_t close = body.rfind(L']');
    if (body[0] == L'[' && close != std::wstring_view::npos) {
      l.kind = Kind::Section;
      l.nameBegin = b + 1, l.nameEnd = b + close;
      while (l.nameBegin < l.nameEnd && IsBlank(text_[l.nameBegin])) ++l.nameBegin;
      while (l.nameEnd > l.nameBegin && IsBlank(text_[l.nameEnd - 1])) --l.nameEnd;
      continue;
    }
    if (body[0] == L';') {
      l.kind = Kind::Comment;
      continue;
    }
    l.kind = Kind::Key;
    const size_t eq = body.find(L'=');
    l.nameBegin = b;
    if (eq == std::wstring_view::npos) {
      l.nameEnd = e;
      continue;
    }
    l.equals = b + eq;
    l.nameEnd = l.equals;
    while (l.nameEnd > b && IsBlank(text_[l.nameEnd - 1])) --l.nameEnd;
    l.valueBegin = l.equals + 1, l.valueEnd = e;
    while (l.valueBegin < e && IsBlank(text_[l.valueBegin])) ++l.valueBegin;
  }
}

size_t SettingsText::FindSection(std::wstring_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && SameSettingsName(Name(lines_[i]), section)) return i;
  return std::wstring::npos;
}

size_t SettingsText::FindKey(size_t sectionLine, std::wstring_view key) const {
  for (size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
    if (lines_[i].kind == Kind::Key && SameSettingsName(Name(lines_[i]), key)) return i;
  return std::wstring::npos;
}

std::optional<std::wstring_view> SettingsText::Find(std::wstring_view section, std::wstring_view key) const {
  const size_t s = FindSection(section);
  if (s == std::wstring::npos) return std::nullopt;
  const size_t k = FindKey(s, key);
  if (k == std::wstring::npos || lines_[k].equals == std::wstring::npos) return std::nullopt;
  return std::wstring_view(text_).substr(lines_[k].valueBegin, lines_[k].valueEnd - lines_[k].valueBegin);
}

std::vector<SettingsEntry> SettingsText::Entries(std::wstring_view section) const {
  std::vector<SettingsEntry> entries;
  const size_t s = FindSection(section);
  if (s == std::wstring::npos) return entries;
  for (size_t i = s + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
    const Line& l = lines_[i];
    if (l.kind != Kind::Key) continue;
    entries.push_back({Name(l), std::nullopt});
    if (l.equals != std::wstring::npos)
      entries.back().value = std::wstring_view(text_).substr(l.valueBegin, l.valueEnd - l.valueBegin);
  }
  return entries;
}

std::wstring SettingsText::String(std::wstring_view section, std::wstring_view key) const {
  const auto value = Find(section, key);
  return value ? ProfileText(*value) : std::wstring();
}

int SettingsText::Number(std::wstring_view section, std::wstring_view key, int fallback) const {
  return ProfileNumber(Find(section, key), fallback);
}

bool SettingsText::IsSettingsFile() const {
  if (text_.empty()) return true;  // an editor's "empty" file holds only its mark
  if (text_.find(L'\0') != std::wstring::npos) return false;
  for (const Line& l : lines_)
    if (l.kind == Kind::Section && (SameSettingsName(Name(l), kOptionSection) || SameSettingsName(Name(l), kSystemSection))) return true;
  return false;
}

std::string SettingsText::With(const std::vector<ProfileValue>& values, const IAnsiCodePage& ansi) const {
  struct NewLine {
    std::wstring key, text;
  };
  std::map<size_t, std::wstring> replaced;            // line index -> its new text
  std::map<size_t, std::vector<NewLine>> insertedAfter;  // line index -> keys added after it
  std::vector<std::pair<std::wstring, std::vector<NewLine>>> newSections;
  auto add = [](std::vector<NewLine>& list, const ProfileValue& v) {
    for (auto& line : list)
      if (SameSettingsName(line.key, v.key)) return void(line.text = v.key + L"=" + v.value);
    list.push_back({v.key, v.key + L"=" + v.value});
  };
  for (const auto& given : values) {
    // Stored without the blanks around it, which a read drops anyway.
    ProfileValue v = given;
    const size_t first = v.value.find_first_not_of(L" \t");
    v.value = first == std::wstring::npos ? L"" : v.value.substr(first, v.value.find_last_not_of(L" \t") + 1 - first);
    const size_t s = FindSection(v.section);
    if (s == std::wstring::npos) {
      auto it = std::find_if(newSections.begin(), newSections.end(), [&](const auto& n) { return SameSettingsName(n.first, v.section); });
      if (it == newSections.end()) it = newSections.insert(newSections.end(), {v.section, {}});
      add(it->second, v);
      continue;
    }
    const size_t k = FindKey(s, v.key);
    if (k != std::wstring::npos) {
      const Line& l = lines_[k];
      // What stands before the value stays as the user wrote it.
      replaced[k] = l.equals != std::wstring::npos ? text_.substr(l.textBegin, l.equals + 1 - l.textBegin) + v.value
                                                    : text_.substr(l.textBegin, l.nameEnd - l.textBegin) + L"=" + v.value;
      continue;
    }
    size_t last = s;
    for (size_t i = s + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
      if (lines_[i].kind != Kind::Blank) last = i;
    add(insertedAfter[last], v);
  }

  // An ANSI file that cannot hold a new line becomes Unicode, every line kept as it reads.
  TextForm out = form_;
  if (out == TextForm::Ansi) {
    bool fits = true;
    for (const auto& [i, text] : replaced) fits = fits && ansi.Encode(text).has_value();
    for (const auto& [i, list] : insertedAfter)
      for (const auto& line : list) fits = fits && ansi.Encode(line.text).has_value();
    for (const auto& [name, list] : newSections) {
      fits = fits && ansi.Encode(name).has_value();
      for (const auto& line : list) fits = fits && ansi.Encode(line.text).has_value();
    }
    if (!fits) out = TextForm::Utf16LeMark;
  }
  const bool same = out == form_;
  const std::string eol = Encode(lineEnd_, out, ansi).value_or("\r\n");
  auto encode = [&](std::wstring_view text) { return Encode(text, out, ansi).value_or(std::string()); };

  std::string result;
  result.reserve(bytes_.size() + 256);
  result += same ? bytes_.substr(0, MarkOf(form_).size()) : std::string(MarkOf(out));
  bool ended = true;  // the output so far ends with a line end (or is empty)
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    const auto r = replaced.find(i);
    if (r != replaced.end()) {
      result += encode(r->second);
      result += same ? bytes_.substr(l.byteEnd, l.byteNext - l.byteEnd)
                     : encode(std::wstring_view(text_).substr(l.textEnd, l.textNext - l.textEnd));
    } else if (same) {
      result.append(bytes_, l.byteBegin, l.byteNext - l.byteBegin);
    } else {
      result += encode(std::wstring_view(text_).substr(l.textBegin, l.textNext - l.textBegin));
    }
    ended = l.byteNext > l.byteEnd;
    const auto ins = insertedAfter.find(i);
    if (ins == insertedAfter.end()) continue;
    if (!ended) result += eol;
    for (const auto& line : ins->second) result += encode(line.text) + eol;
    ended = true;
  }
  for (const auto& [name, list] : newSections) {
    if (!ended) result += eol;
    result += encode(L"[" + name + L"]") + eol;
    for (const auto& line : list) result += encode(line.text) + eol;
    ended = true;
  }
  // Bytes after the last line (an odd byte of a UTF-16 file) stay, last, where they cannot
  // shift the new lines' units.
  const size_t kept = lines_.empty() ? MarkOf(form_).size() : lines_.back().byteNext;
  if (same && kept < bytes_.size()) result.append(bytes_, kept);
  return result;
}

bool SameSettingsName(std::wstring_view a, std::wstring_view b) { return EqualsNoCase(a, b); }

bool SettingsTextProfile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  return WriteValues({{section, key, value}});
}

bool SettingsTextProfile::WriteValues(const std::vector<ProfileValue>& values) {
  if (HoldsLineBreak(values)) return false;
  text_ = SettingsText(text_.With(values, ansi_), ansi_);
  return true;
}

}  // namespace zv
