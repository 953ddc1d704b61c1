[loc 17]
name: Corran
area: north shore
size: 3
type: 2 
icon: 0
note: ferry crossing
pos:  1,2
