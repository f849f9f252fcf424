ab
c
	

