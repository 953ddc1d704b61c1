# header without the word

[loc 17]
name: Ashford
area: north shore
size: 3
type: 1
icon: 0
note: ferry crossing
pos:  100,200
between records
[loc 17]
name: Ashford
area: north shore
size: 3
type: 4
icon: 0
note: ferry crossing
pos:  0x10,  7
[loc 17]
name: 
area: north shore
size: 3
type: 3
icon: 0
note: ferry crossing
pos:  -2147483648,2147483647
