#COMPILE EXE
	Local x As Long

  
x	=		1
