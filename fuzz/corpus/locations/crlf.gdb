; Kelderwyn places
[loc 17]
name: Harrowgate
area: north shore
size: 3
type: 2
icon: 0
note: ferry crossing
pos:  -41250,18700
[loc 17]
name: Velmoor Keep
area: north shore
size: 3
type: 0
icon: 0
note: ferry crossing
pos:  $1F40,-900
