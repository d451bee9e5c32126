DIMENSIONS
2 2
VARNAMES
width
height
narrow
wide
PATTERNS
4
1.0 0.5   1 0
9.0 4.5   0 1
5.0 2.0   1 0
2.0 1.4e-45   1 0
END
