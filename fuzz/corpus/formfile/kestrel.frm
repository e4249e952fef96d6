TAMARIND-FORM 1
Form "Orders"
Begin Kestrel "Orders1" 120 120 10500 4200
  "LineOddColor" = Long 15790320
  "LineAltColor" = Boolean True
  "BackColor" = Long -2147483643
  "Font" = Font "Verdana" 8.25 400 0 0 0 0
  "TitleFont" = Font "Georgia" 11.25 700 1 0 0 0
  "FontName" = String "Verdana"
  "FontSize" = Single 8.25
  "View" = Integer 3
  "SmallIcons" = ImageList 2 2 12632256 1 1 "dot" Qk1GAAAAAAAAADYAAAAoAAAAAgAAAAIAAAABABgAAAAAABAAAADEDgAAxA4AAAAAAAAAAAAA/wAA/wAAAAAA/wAA/wAAAA==
  "Picture" = Picture -
  "TitleBar" = Boolean True
  "TitleCaption" = String "Spice orders\n\x01\"q\""
  "TitleHeight" = Long 300
  "DropLines" = Long 12
  "TabCaptions" = String "A|B|C"
  "ColOrderAppName" = String "Demo"
  "SortArrowSize" = Long 16
  "PrintingReportHeader" = String "Report"
  "Text" = Date 46000.5
  "List0" = Double 1.5
End
Begin TextBox "txtSearch" 0 4400 3000 300
End
EndForm
