TAMARIND-FORM 1
Form "F"
Begin Kestrel "K" 0 0 6000 4000
  "TitleHeight" = Long 16777216
  "LineEvenColor" = Double 4294967295
  "FontSize" = Single 0.0001
End
EndForm
