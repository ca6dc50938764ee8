// The named formats: up to nine name formats besides the main one, each under a name the
// user picks it by, kept in section "Formats" as Name<n>, File<n>, Ext<n>, Folder<n>.
// Portable: the settings file is reached through IProfile.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Settings.h"

namespace zv {

inline constexpr wchar_t kFormatsSection[] = L"Formats";
inline constexpr int kMaxNamedFormats = 9;
// A longer name would push the copy dialog's menu off the screen.
inline constexpr size_t kMaxNamedFormatName = 32;

struct NamedFormat {
  std::wstring Name;
  // Empty ones stand for the main format's.
  std::wstring File, Ext, Folder;
  bool operator==(const NamedFormat&) const = default;
};

// The entries as stored, by number 1..9; an entry exists when its name is not blank and it
// passes the format dialog's checks. Other keys (a tenth entry, numbers that are not 1..9)
// play no part.
struct StoredFormats {
  std::optional<NamedFormat> slots[kMaxNamedFormats];
  // Every key of the section as read, also those of numbers without a name; a missing one
  // is not present.
  NamedFormat raw[kMaxNamedFormats];
  bool present[kMaxNamedFormats][4] = {};
  // The usable entries in their stored order, gaps closed.
  std::vector<NamedFormat> List() const;
};

// One read of the section.
StoredFormats LoadNamedFormats(IProfile& profile);
// Stores `list` as numbers 1, 2, ... in one save, clearing the stored entries after it. A
// number's key that is unchanged is not written, so an unchanged list writes nothing.
// False if the save failed.
bool SaveNamedFormats(IProfile& profile, const StoredFormats& stored, const std::vector<NamedFormat>& list);

// The three formats an entry stands for, its empty ones taken from the main format.
struct EffectiveFormat {
  std::wstring File, Ext, Folder;
};
EffectiveFormat Effective(const NamedFormat* entry, const Settings& main);

// What is wrong with an entry among the others (the entry's own place `self` is skipped,
// -1 for a new one): the message to show and which field to fix.
enum class FormatField { None, Name, File, Ext, Folder };
struct FormatProblem {
  FormatField field = FormatField::None;
  std::wstring message;
  bool ok() const { return field == FormatField::None; }
};
FormatProblem CheckNamedFormat(const NamedFormat& entry, const std::vector<NamedFormat>& list, int self);

// The copy dialog's menu line: "&n name — proposal"; an "&" of the name stays a character.
std::wstring FormatMenuText(int number, const std::wstring& name, const std::wstring& proposal);
// Caption the main format goes by in that menu.
inline constexpr wchar_t kMainFormatName[] = L"標準";

// That menu: the main format (&0), then each named one in its order (&1..&9), with what each
// would propose now; the one in use (by name, empty for the main one) is marked.
struct FormatMenuEntry {
  std::wstring text;
  bool inUse = false;
};
std::vector<FormatMenuEntry> FormatMenuEntries(const std::vector<NamedFormat>& list, const std::wstring& inUse,
                                               const std::function<std::wstring(const NamedFormat*)>& propose);

}  // namespace zv
