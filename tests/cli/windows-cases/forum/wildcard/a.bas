' first
A = 1
