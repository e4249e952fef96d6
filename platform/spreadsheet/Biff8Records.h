#pragma once
// Record identifiers and fixed values of the BIFF8 workbook stream, shared by its writer and reader.

#include <cstdint>

namespace tamarind::spreadsheet::biff {

inline constexpr uint16_t kBof = 0x0809;
inline constexpr uint16_t kEof = 0x000A;
inline constexpr uint16_t kCodepage = 0x0042;
inline constexpr uint16_t kWindow1 = 0x003D;
inline constexpr uint16_t kDateMode = 0x0022;
inline constexpr uint16_t kFont = 0x0031;
inline constexpr uint16_t kFormat = 0x041E;
inline constexpr uint16_t kXf = 0x00E0;
inline constexpr uint16_t kStyle = 0x0293;
inline constexpr uint16_t kBoundSheet = 0x0085;
inline constexpr uint16_t kSst = 0x00FC;
inline constexpr uint16_t kExtSst = 0x00FF;
inline constexpr uint16_t kContinue = 0x003C;
inline constexpr uint16_t kDefColWidth = 0x0055;
inline constexpr uint16_t kColInfo = 0x007D;
inline constexpr uint16_t kDimensions = 0x0200;
inline constexpr uint16_t kLabelSst = 0x00FD;
inline constexpr uint16_t kLabel = 0x0204;
inline constexpr uint16_t kRString = 0x00D6;
inline constexpr uint16_t kNumber = 0x0203;
inline constexpr uint16_t kRk = 0x027E;
inline constexpr uint16_t kMulRk = 0x00BD;
inline constexpr uint16_t kBoolErr = 0x0205;
inline constexpr uint16_t kFormula = 0x0006;
inline constexpr uint16_t kString = 0x0207;
inline constexpr uint16_t kWindow2 = 0x023E;
inline constexpr uint16_t kSelection = 0x001D;

inline constexpr uint16_t kBiff8Version = 0x0600;
inline constexpr uint16_t kGlobalsSubstream = 0x0005;
inline constexpr uint16_t kWorksheetSubstream = 0x0010;
inline constexpr uint16_t kUtf16CodePage = 0x04B0;

// Data bytes of one record; longer data continues in CONTINUE records.
inline constexpr size_t kMaxRecordData = 8224;

// The 1900 date system counts a 29 February 1900 that never was: its serial numbers 1 (1 January
// 1900) to 59 (28 February 1900) are one less than the model's days since 30 December 1899, 60
// is the phantom day, and from 61 (1 March 1900) on the two agree. Times of day alone (under 1)
// are the same in both. The phantom day reads as 28 February.
inline constexpr double FileSerial(double days) { return days >= 2 && days < 61 ? days - 1 : days; }
inline constexpr double ModelDays(double serial) { return serial >= 1 && serial < 60 ? serial + 1 : serial; }

// The cell formats the writer puts after the 15 style formats: General, then the date formats.
inline constexpr uint16_t kXfGeneral = 15;
inline constexpr uint16_t kXfDate = 16;      // number format 14: m/d/yyyy
inline constexpr uint16_t kXfDateTime = 17;  // number format 22: m/d/yyyy h:mm
inline constexpr uint16_t kXfTime = 18;      // number format 21: h:mm:ss

}  // namespace tamarind::spreadsheet::biff
