LM=3
1 2
3 4.5
-1 0
ID=radii
IMAGE=radii.jpg
SCALE=0.5
LM=3
2 2
3 5
0 0
ID=ulna
SCALE=0.25
