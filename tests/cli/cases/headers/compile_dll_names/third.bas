#COMPILE DLL
Sub C() Export
