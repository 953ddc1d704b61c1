[loc 17]
name: Eastwatch
area: north shore
size: 3
type: 1
icon: 0
note: ferry crossing
pos:  10,20