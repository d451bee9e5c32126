% widths and heights
DIMENSIONS
2 2
NAME
two-feature sample
VARNAMES
width
height
small
large
INRANGES
0 10
0 5
PATTERNS
3
1.0 0.5   1 0
9.0 4.5   0 1
2.0 1.0   1 0
END
