lm=2
1 1
2 2
curves=1
points=2
0 0
1 0
id=a
comment=one curve
variables=3
