# Writes the seed corpora under fuzz/seeds/ from the readers' test cases, the
# writers' worked values and the example data set. Run from anywhere:
#   python3 fuzz/make_seeds.py
import os, struct, hashlib
here = os.path.dirname(os.path.abspath(__file__))
root = os.path.join(here, 'seeds')
E = os.path.join(here, '..', 'examples')
def put(target, data):
    d=os.path.join(root,target); os.makedirs(d,exist_ok=True)
    open(os.path.join(d,hashlib.sha1(data).hexdigest()[:16]),'wb').write(data)

# free-form reader: block size, seed, mode, then the file
free = [b",12.5,300,4000,1,2,0.5\n", b"1.5  ,  2.5\n", b"1.5 ,, 2.5\n", b"1 2\n3 4\n", b"1,2,\n3\n",
        b"1,\n,2\n", b"7 8 9\n", b"abc\n", b"5/\n6\n", b"2*4.5 1\n", b"2*\n7 8\n", b"0*5", b"-2*5", b"2*3*4",
        b"1.5E3 1.5e3 1.5D3 1.5d+3 1.5+3 1500\n", b".5 5. 1.5Q3 1.5E E3 + - .\n", b"1E39 1E400 1E-50\n",
        b"2147483647 2147483648 -2147483648 + 16#FF #ff 2#1111 1#1 16#1#2\n", b"Temperature\n",
        b",1,2,abc,4,5,6,7,8,9\n11,12\n", b"'abcdef' \"x\"\"y\" (1,2) ()\n", b"300", b"1 2\r\n", b"1 2\r3 4\n5 6\n",
        b"1\t2\n", b"12\x1a3 4\x00 5\n"]
for i, f in enumerate(free):
    for mode in (0, 1, 2, 3):
        put('fuzz_free_form', struct.pack('>HIB', 7 + 97 * i, 0x9e3779b9 * (i + 1) & 0xffffffff, mode) + f)
put('fuzz_free_form', struct.pack('>HIB', 1023, 12345, 0) + open(E + '/isotherm_274K.csv', 'rb').read())

# text lines and fixed-column records
lines = b"run1.dat\nINFO,HARMONICS,extra\nINFO\n\na\tb\nABC\rDEF\n" \
        b"INFO,MASS(mg),    23.8000000,sample mass\r\n" \
        b"12345678901234" b"12345\n" b"12345678901234" b"1 2 3\n" b"12345678901234" b"2.5E-3\n" \
        b"12345678901234" b"12345E2\n" b"12345678901234" b"3.25,999\n" b"12345678901234\n" \
        b"12345678901234" + b" " * 14 + b"5\n" b"12345678901234-\n" b"12345678901234" b"1.234567890123456\n" \
        b"12345678901234mass\n" b"12345678901234" b"1.5\x1a\n" b"run1.dat"
for i in range(8):
    put('fuzz_line_reads', struct.pack('>HIB', 3 + 131 * i, 0x85ebca6b * (i + 1) & 0xffffffff, i) + lines)
put('fuzz_line_reads', struct.pack('>HIB', 500, 99, 0) + open(E + '/isotherm_298K.csv', 'rb').read())

# number to text: bits, width, decimals, keep
values = [0.5, 25.0, 275.5, 1.0, 0.05, 0.0, -0.0, -1.0, -9.99, 99.995, 100.0, -10.0, 12345678.0, 1234567.0,
          12345.678, 123456.789, 9.9996, -0.123, -3.14159, 0.00001, -0.0004, -0.0005, 0.0006, 9999999.0,
          10000000.0, 0.99999994, 77.3, 3.4e38, 1e-45, 1.17549435e-38]
for i, v in enumerate(values):
    for width, decimals in ((5, 2), (8, 3), (11, 3), (15, 6)):
        put('fuzz_number_text', struct.pack('>fBBB', v, width - 1, decimals, i % 20))
for bits in (0x7f800000, 0xff800000, 0xffc00000, 0x7fc00000, 0x7f800001, 0x7fffffff):
    put('fuzz_number_text', struct.pack('>IBBB', bits, 10, 3, 7))

# whole runs: control file ~~~~ a.dat ~~~~ b.dat ~~~~ standard input
M = b'~~~~'
def whole(control, a=b'', b=b'', stdin=b'\n\n\n'):
    put('fuzz_whole_run', control + M + a + M + b + M + stdin)
iso = [open(E + '/isotherm_%dK.csv' % t, 'rb').read() for t in (274, 276)]
whole(b"0\r\n6 1\r\n0.5 1 2 3 4 5\r\n274\r\na.dat\r\n276\r\nb.dat\r\n", iso[0], iso[1])
whole(b"0\r\n2 -1\r\n1 4\r\n274\r\na.dat\r\n276\r\nb.dat\r\n", iso[0], iso[1])
whole(b"0.0238\r\n3 1\r\n1 2 3\r\n274\r\n\r\n276\r\n\r\n", iso[0], iso[1], b"dir\n\n\n")
def row(t, f, m): return b",12.5," + t + b"," + f + b",1.5,2.5," + m + b",7,8,9"
def data(rows, mass=b''):
    lines = [b"[Header]", b"TITLE,sample run"]
    if mass: lines += [b"INFO,HARMONICS,1", b"INFO,MASS,mg, " + mass]
    lines += [b"[Data]", b"Comment,Time Stamp (sec),Temperature (K),Magnetic Field (Oe),Extra One,Extra Two,Moment (emu)"]
    return b"".join(l + b"\r\n" for l in lines + rows)
a = data([row(b"300.01", b"0", b"0"), row(b"300.02", b"10000", b"10"), row(b"299.98", b"20000", b"20")])
b = data([row(b"302.01", b"0", b"0"), row(b"302.02", b"10000", b"8"), row(b"301.98", b"20000", b"16")], b"10")
whole(b"0.01\r\n2 1\r\n1.0 1.25\r\n300\r\na.dat\r\n302\r\nb.dat\r\n", a, b)
whole(b"0\r\n2 1\r\n1.0 1.25\r\n302\r\nb.dat\r\n300\r\na.dat\r\n", a, b)
whole(b"0.01\r\n1 1\r\n1.0\r\n300\r\na.dat\r\n300\r\na.dat\r\n", a, b)
whole(b"0.01\r\n1 1\r\n1.0\r\n300\r\nNUL\r\n302\r\nCON\r\n", a, b, b"\n" + b + b"\n")
whole(b"0.01\r\n", a, b)
whole(b"", a, b, b"")
