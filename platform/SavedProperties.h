#pragma once
// What a control type accepts in its saved state, key by key.
//
// A control reads its saved values in resume-next mode: a value that does not convert is dropped
// and loading goes on. A value from a file must not get that far when it cannot reach its
// property at all (a colour that is not a number, a height beyond what the property holds): the
// form file's reader checks every value of a control against the rules its type registered and
// refuses the file, naming the line, when one does not fit. The same conversions serve the
// control's loading, so what the reader lets through is exactly what the control can take.
//
// Every conversion raises a tamarind::Error whose description says what is wrong.

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/Font.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/Types.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

namespace saved {

// A colour: a whole number from -2^31 (system colours saved as negative Longs) to 2^32 - 1.
OLE_COLOR Color(const Variant& v);
// A Boolean: a finite number (non-zero is True) or "True"/"False".
bool Boolean(const Variant& v);
// Whole numbers (halves to even) within [low, high]; Error 380 outside.
int16_t Integer(const Variant& v, int16_t low = std::numeric_limits<int16_t>::min(),
                int16_t high = std::numeric_limits<int16_t>::max());
int32_t Long(const Variant& v, int32_t low = std::numeric_limits<int32_t>::min(),
             int32_t high = std::numeric_limits<int32_t>::max());
// A font size in points, as a font takes it (above 0 at its precision, at most 2048).
float FontSize(const Variant& v);
// Text: any value with a text form (not Null, not an object).
std::string Text(const Variant& v);
// Objects: a font (never Nothing); a picture or an image list (Nothing allowed).
FontRef FontObject(const Variant& v);
PictureRef PictureObject(const Variant& v);
ImageListRef ImageListObject(const Variant& v);

}  // namespace saved

class SavedPropertyRules {
 public:
  using Rule = std::function<void(const Variant&)>;

  // The rule of one key (names match without regard to letter case).
  SavedPropertyRules& Add(std::string_view name, Rule rule);
  // Raises the rule's Error when the value breaks it; a key without a rule accepts anything.
  void Check(std::string_view name, const Variant& value) const;
  bool Has(std::string_view name) const;

 private:
  std::unordered_map<std::string, Rule> rules_;  // by case-folded name
};

// The rules of a control type, under the type name its saved state carries ("Kestrel"). A type
// registers once, when its library starts; registering again replaces the rules.
bool RegisterSavedPropertyRules(std::string typeName, SavedPropertyRules rules);
// nullptr for a type that registered none.
const SavedPropertyRules* FindSavedPropertyRules(std::string_view typeName);

}  // namespace tamarind::platform
