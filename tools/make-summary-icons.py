# Makes the 48 x 48, 4-bit icons of the Summary and Status pages (resources/summary_icon_<id>.bmp)
# with ImageMagick: python3 tools/make-summary-icons.py resources
import subprocess, struct, sys
VGA=[(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
     (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
# id: (shape colour, glyph, point size)
ICONS={102:('#000080','F',28),106:('#808000','D',28),109:('#000080','T',28),110:('#000080','US',22),
 111:('#008000','ST',22),197:('#800000','!',32),255:('#008080','@',28),256:('#000080','i',32),
 259:('#008080','i',28),268:('#000080','?',30),270:('#000080','M',26),290:('#008000','$',30),
 307:('#000080','>',30),318:('#800080','P',28),333:('#808000','O',28),337:('#008000','A',28),
 349:('#000080','#',28),377:('#800000','X',28),411:('#000080','i',32),425:('#808000','P',28),
 427:('#008080','?',30),437:('#008000','A',28),557:('#800000','!',32),558:('#000080','S',28),
 559:('#800000','PDF',16)}
def nearest(c):
    return min(range(16),key=lambda i:sum((a-b)**2 for a,b in zip(c,VGA[i])))
for ident,(colour,glyph,size) in ICONS.items():
    shape = "circle 24,24 24,2" if ident in (256,259,268,411,427,307) else "roundrectangle 2,2 45,45 8,8"
    out=subprocess.run(['convert','-size','48x48','xc:white','-fill',colour,'-draw',shape,'-fill','white',
        '-font','DejaVu-Sans-Bold','-pointsize',str(size),'-gravity','center','-annotate','+0+0',glyph,
        '+antialias','-depth','8','ppm:-'],capture_output=True,check=True).stdout
    # P6\n48 48\n255\n
    parts=out.split(b'\n',3)
    w,h=map(int,parts[1].split()); data=parts[3]
    px=[nearest(tuple(data[(y*w+x)*3:(y*w+x)*3+3])) for y in range(h) for x in range(w)]
    rowbytes=((w*4+31)//32)*4
    rows=b''
    for y in range(h-1,-1,-1):
        r=bytearray(rowbytes)
        for x in range(w):
            v=px[y*w+x]
            if x%2==0: r[x//2]|=v<<4
            else: r[x//2]|=v
        rows+=bytes(r)
    pal=b''.join(struct.pack('<BBBB',b,g,r,0) for (r,g,b) in VGA)
    off=14+40+len(pal)
    hdr=b'BM'+struct.pack('<IHHI',off+len(rows),0,0,off)
    info=struct.pack('<IiiHHIIiiII',40,w,h,1,4,0,len(rows),3780,3780,16,0)
    open(sys.argv[1]+'/summary_icon_%d.bmp'%ident,'wb').write(hdr+info+pal+rows)
print(len(ICONS))
