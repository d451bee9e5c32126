# no names, ranges after patterns
DIMENSIONS
1 3
PATTERNS
4
-4 0 0 1
-2 0 1 0
7 1 0 1
0 0 0 0
INRANGES
-10 10
NOCLASS
FOO
END
