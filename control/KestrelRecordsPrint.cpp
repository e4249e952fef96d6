// Kestrel: filling from a recordset and printing the list.

#include "control/Kestrel.h"
#include "dataio/RecordSetFill.h"
#include "dataio/basLVPRINT.h"

namespace tamarind {

void Kestrel::RecordSetFill(const Variant& rs, const std::string& cols, const std::string& keycol,
                            const std::string& colNAMES) {
  ReportAndEnd(s_.tk, ":Error in RecordSetFill.  Error Message: ", vbCritical, [&] {
    UnbindRowSource();  // a fill replaces what the list shows, a source's rows included
    dataio::FillListViewFromRS(s_.tk, *s_.lvLIST, rs, cols, keycol, colNAMES);
  });
}

namespace {

// The report of the list with the control's title and row colours: white rows unless the
// alternating colours are on.
void PrintList(KestrelState& s, int16_t orientation) {
  constexpr platform::OLE_COLOR white = 0xFFFFFF;
  basLVPRINT::PrintListView(s.tk, *s.lvLIST, s.m_PrintingReportHeader, s.m_LineAltColor ? s.m_LineEvenColor : white,
                            s.m_LineAltColor ? s.m_LineOddColor : white, orientation);
}

}  // namespace

void Kestrel::PrintToDefaultPrinter() { PrintList(s_, platform::Printer::vbPRORPortrait); }
void Kestrel::PrintToDefaultPrinterLandscape() { PrintList(s_, platform::Printer::vbPRORLandscape); }

}  // namespace tamarind
