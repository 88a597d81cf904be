[Languages]
count=2
Default=0009
key0=0009
key1=0011
