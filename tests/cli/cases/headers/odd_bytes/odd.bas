Sub	A(x,		  y) Export
Sub B() Export
   Method  M(a,    _
		b)
Sub C() Common
Sub D() Common
