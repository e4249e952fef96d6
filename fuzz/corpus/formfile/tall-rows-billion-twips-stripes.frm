TAMARIND-FORM 1
Form "F"
Begin Kestrel "K" 0 0 1e9 4000
  "LineAltColor" = Boolean True
  "SmallIcons" = ImageList 3 02768 0 1 0
End
EndForm
