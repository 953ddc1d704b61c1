the bloc of allocated colonies
name: Fenwick
a
b
type: 3
c
d
pos:  -1,-2
LOC not a marker
Loc neither
