[loc 17]
name: Harrowgate
area: north shore
size: 3
type: 2
icon: 0
note: ferry crossing
pos:  -41250,18700
