TAMARIND-FORM 1
Form "Ž"
Begin Kestrel "K" 0 0 1e9 4000
  "LineAltColor" = Boolean True
  "Sla!clImons" = ImageList 1 32768 0 1 0
End
EndForm
