TAMARIND-FORM 1
Form "Orders"
Begin Kestrel "Orders1" 120 120 10500 4200
  "LineEvenColor" = Long 0
  "LineOddColor" = Long 0
  "Font" = Font "Verdana" 8.25 400 0 0 0 0
  "TitleFont" = Font "Verdana" 8.25 400 0 0 0 0
  "AllowColumnReorder" = Boolean True
  "FontName" = String "Verdana"
  "FontSize" = Single 8.25
  "FullRowSelect" = Boolean True
  "GridLines" = Boolean True
  "List0" = String "Flowers"
  "SelStart" = Long 10
  "Text" = String "Star anise"
  "View" = Integer 3
  "DropDownText" = String "Seeds"
  "ListIndex" = Integer 4
  "TitleBar" = Boolean True
  "TitleCaption" = String "Spice orders"
  "TitleHeight" = Long 300
  "DropWidth" = Long 0
  "DropLines" = Long 0
  "DropDelay" = Long 0
  "SortArrowSize" = Long 0
End
EndForm
