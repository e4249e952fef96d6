TAMARIND-FORM 1
Form ""
EndForm
