// Window-free rules of the settings pages: the binding table of the plain-form pages, typed
// number rules and the data-folder text stored at close.
#pragma once
#include <cstddef>
#include <cstdint>
#include "core/pure/settings_block.h"

enum class BindKind : uint8_t { Check, MaskBit, Radio, Number, Trackbar, Combo, Text };
enum class NumberRule : uint8_t { Plain, Round4, ZeroRefused, ZeroToOne };
enum : uint8_t { kEffectRebuild = 1, kEffectRedraw = 2, kEffectRelayout = 4 };

// One control of a plain-form page and the settings field behind it. Every binding is
// stored as soon as its control changes and again when the page closes; the effects are
// raised at close for fields that differ from their value when the dialog opened.
struct PageBinding {
  int8_t page;
  int16_t id;
  BindKind kind;
  uint32_t offset;         // into SettingsBlock
  uint16_t width;          // bytes of the field: 1 or 4; Text: the whole array (its capacity in characters is max)
  uint32_t value;          // MaskBit: the bit; Radio: the value it stands for
  int32_t min, max;        // Number, Trackbar: range; Combo: item count in max
  int16_t spinId;          // Number: its up-down
  int16_t textLimit;       // Number, Text: characters
  NumberRule rule;
  uint8_t effect;
  int16_t enableId;        // 0: always enabled; else enabled while that check's state is enableWhen
  uint8_t enableWhen;
  const char16_t* const* items;  // Combo: the item texts
};

extern const PageBinding kPageBindings[];
extern const int kPageBindingCount;

// Controls of the bound pages that have behaviour of their own (buttons, the folder edit,
// hidden and unbound controls), for the check that every control is accounted for.
struct OwnControl { int8_t page; int16_t id; };
extern const OwnControl kOwnPageControls[];
extern const int kOwnPageControlCount;

// The number a typed text gives (leading decimal digits, 0 when there are none); false for
// an empty text, which leaves the setting as it is.
bool ParseTypedNumber(const char16_t* text, int32_t* out);
// Applies a binding's range and rule to a typed number: false when it must not be stored.
bool ApplyNumberRule(const PageBinding& b, int32_t typed, int32_t* stored);

// The data folder text as stored at close: empty gives ".\user"; a relative text loses one
// trailing backslash and one leading backslash; a drive path or a share is kept as typed.
// out holds 260 characters.
void NormaliseDataFolderText(const char16_t* typed, char16_t* out);

int32_t ReadBoundField(const SettingsBlock& s, const PageBinding& b);
void WriteBoundField(SettingsBlock& s, const PageBinding& b, int32_t v);
// Whether the binding's field differs between two blocks (a text up to its terminator).
bool BoundFieldDiffers(const SettingsBlock& a, const SettingsBlock& b, const PageBinding& binding);
