#include "runtime/Error.h"

#include <string>

namespace tamarind {

namespace {

struct StandardText {
  int32_t number;
  const char* text;
};

// The runtime's texts for the errors a program can meet, in number order.
constexpr StandardText kStandardTexts[] = {
    {3, "Return without GoSub"},
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {10, "This array is fixed or temporarily locked"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {16, "Expression too complex"},
    {17, "Can't perform requested operation"},
    {18, "User interrupt occurred"},
    {20, "Resume without error"},
    {28, "Out of stack space"},
    {35, "Sub or Function not defined"},
    {47, "Too many DLL application clients"},
    {48, "Error in loading DLL"},
    {49, "Bad DLL calling convention"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {54, "Bad file mode"},
    {55, "File already open"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {59, "Bad record length"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {63, "Bad record number"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {74, "Can't rename with different drive"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable or With block variable not set"},
    {92, "For loop not initialized"},
    {93, "Invalid pattern string"},
    {94, "Invalid use of Null"},
    {322, "Can't create necessary temporary file"},
    {380, "Invalid property value"},
    {381, "Invalid property array index"},
    {382, "Set not supported at runtime"},
    {383, "Set not supported (read-only property)"},
    {385, "Need property array index"},
    {387, "Set not permitted"},
    {393, "Get not supported at runtime"},
    {394, "Get not supported (write-only property)"},
    {422, "Property not found"},
    {423, "Property or method not found"},
    {424, "Object required"},
    {429, "ActiveX component can't create object"},
    {430, "Class does not support Automation or does not support expected interface"},
    {438, "Object doesn't support this property or method"},
    {440, "Automation error"},
    {445, "Object doesn't support this action"},
    {446, "Object doesn't support named arguments"},
    {448, "Named argument not found"},
    {449, "Argument not optional"},
    {450, "Wrong number of arguments or invalid property assignment"},
    {451, "Property let procedure not defined and property get procedure did not return an object"},
    {457, "This key is already associated with an element of this collection"},
    {460, "Invalid Clipboard format"},
    {461, "Method or data member not found"},
    {462, "The remote server machine does not exist or is unavailable"},
    {463, "Class not registered on local machine"},
    {481, "Invalid picture"},
    {482, "Printer error"},
    {483, "Printer driver does not support specified property"},
    {484, "Problem getting printer information from the system. Make sure the printer is set up correctly"},
    {485, "Invalid picture type"},
    {520, "Can't empty Clipboard"},
    {521, "Can't open Clipboard"},
    {35600, "Index out of bounds"},
    {35601, "Element not found"},
    {35602, "Key is not unique in collection"},
    {35603, "Invalid key"},
};

}  // namespace

Error::Error(int32_t number, std::string description, std::string source)
    : number_(number),
      description_(description.empty() ? StandardDescription(number) : std::move(description)),
      source_(std::move(source)),
      what_("Run-time error '" + std::to_string(number) + "': " + description_) {}

std::string Error::StandardDescription(int32_t number) {
  for (const StandardText& t : kStandardTexts) {
    if (t.number == number) return t.text;
  }
  return "Application-defined or object-defined error";
}

void Raise(int32_t number, std::string source, std::string description) {
  throw Error(number, std::move(description), std::move(source));
}

ErrObject& Err() {
  thread_local ErrObject err;
  return err;
}

Error OutOfMemoryError() { return Error(err::OutOfMemory); }

void RecordErr(const Error& e) {
  ErrObject& o = Err();
  o.Number = e.Number();
  o.Description = e.Description();
  o.Source = e.Source();
}

std::string FormatErrorReport(const Error& e, std::string_view procedureText) {
  std::string text = std::to_string(e.Number());
  text += procedureText;
  text += e.Description();
  return text;
}

}  // namespace tamarind
