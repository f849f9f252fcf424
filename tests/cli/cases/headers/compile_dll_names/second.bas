#IF %X
#COMPILE DLL "no.dll"
#ENDIF
#COMPILE DLL "..\\out\\MyLib"
