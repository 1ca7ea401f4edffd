// Naming rules of the batch rename and the replace-rename: the pattern, its description in
// words, and the names built from a counter or a date. Window-free so it is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

// The global rename pattern, or an action row's own copy of it.
struct RenamePattern {
  int32_t prefixType;    // 0 none, 1 the prefix text, 2 folder name, 3 old name, 4 maker, 5 model
  int32_t nameType;      // 0..2 numbers of 3..5 digits, 3..23 dates
  int32_t dateJoiner;    // 0 "-", 1 "_"
  int32_t prefixJoiner;  // 0 none, 1 "-", 2 "_"
  int32_t sequenceStart;
  char16_t prefix[32];
};

struct ReplaceTexts {
  char16_t oldText[128];
  char16_t newText[128];
};

// The rename fields of an action row (1,648 bytes): the own-settings byte and the copies.
namespace action_row {
constexpr size_t kSize = 1648, kOwnRename = 1048, kPrefixType = 1052, kNameType = 1056, kPrefix = 1060,
                 kDateJoiner = 1124, kPrefixJoiner = 1128, kSequenceStart = 1132, kReplaceOld = 1136,
                 kReplaceNew = 1392;
}
// True when the row's own-settings byte is set; the fields are read either way, texts end
// within their fields.
bool ReadActionRowRename(const uint8_t* row, RenamePattern* pattern, ReplaceTexts* texts);

// Values out of range read as their first choice; the prefix ends within its field.
void NormaliseRenamePattern(RenamePattern& pattern);

// Names used in the descriptions: prefix types 2..5 (empty otherwise), the prefix joiners
// "+", "-", "_", and the 24 name types in the words of either date joiner.
const char16_t* RenamePrefixTypeLabel(int32_t prefixType);
const char16_t* RenamePrefixJoinerLabel(int32_t prefixJoiner);
const char16_t* RenameNameTypeLabel(int32_t nameType, int32_t dateJoiner);
// The joiner put between prefix and name: "", "-", "_".
const char16_t* RenamePrefixJoinerText(int32_t prefixJoiner);
const char16_t* RenameDateJoinerText(int32_t dateJoiner);

// "%s" / "%s%s%s" descriptions of a pattern, and the replace-rename sentence. False (out
// empty) when the text does not fit.
bool FormatRenamePattern(const RenamePattern& pattern, char16_t* out, size_t capacity);
bool FormatReplaceTexts(const char16_t* oldText, const char16_t* newText, char16_t* out, size_t capacity);

// Date part of a name from "YYYY/MM/DD hh:mm:ss" for name types 3..23. False when the text
// is not such a date (wrong length, or not digits where the digits belong).
bool BuildDateNamePart(const char16_t* dateText, int32_t nameType, int32_t dateJoiner, char16_t* out,
                       size_t capacity);
// Date source of a name type: 1 shooting date, 2 file creation, 3 last write, 0 a number.
int32_t RenameDateSource(int32_t nameType);

// Maker or model as a prefix: the text after its last '\' or '/', without \ / : * ? < > | ".
void CleanPrefixText(const char16_t* text, char16_t* out, size_t capacity);

// The extension of a file name: from its last '.', empty when there is none.
const char16_t* ExtensionOf(const char16_t* fileName);

// The file system as the name choosers see it.
class NameProbe {
 public:
  virtual ~NameProbe() = default;
  virtual bool Exists(const char16_t* path) = 0;
  // The plain date name is taken: the list entry holding it may move to the name with 1.
  virtual void PlainDateNameTaken(const char16_t* plainPath, const char16_t* firstSuffixPath) { (void)plainPath, (void)firstSuffixPath; }
};

// Number names "%s%03d%s" (4, 5 digits for types 1, 2): the first free one from *counter on,
// which is left at the number taken. False when no name fits into a path.
bool ChooseNumberName(const char16_t* folder, const char16_t* stem, int32_t nameType, const char16_t* extension,
                      int32_t* counter, NameProbe& probe, char16_t* outPath);
// Date names: D, then D + joiner + 2, 3, ...; a plain name already taken moves its holder
// to D + joiner + 1 first (through the probe). False when no name fits.
bool ChooseDateName(const char16_t* folder, const char16_t* stem, const char16_t* joiner, const char16_t* extension,
                    NameProbe& probe, char16_t* outPath);
