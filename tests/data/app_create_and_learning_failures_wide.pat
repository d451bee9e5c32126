DIMENSIONS
2 2
VARNAMES
width
height
narrow
wide
PATTERNS
2
1.0 -3e38  1 0
2.0  3e38  0 1
END
