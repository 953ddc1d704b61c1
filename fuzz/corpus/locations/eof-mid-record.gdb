[loc 17]
name: Brindle
area: north shore
size: 3
type: 1
icon: 0
note: ferry crossing
pos:  5,6
[loc 2]
name: Cut
more: after the end
