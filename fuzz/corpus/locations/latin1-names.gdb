[loc 17]
name: Caer Llÿr
area: north shore
size: 3
type: 0
icon: 0
note: ferry crossing
pos:  x7fffffff,+12
[loc 17]
name: Öster Håll
area: north shore
size: 3
type: 1
icon: 0
note: ferry crossing
pos:  X0,-0
