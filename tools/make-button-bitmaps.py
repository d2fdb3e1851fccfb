# Makes the faces of the field buttons drawn over form pages (resources/button_<name>.bmp, 4-bit)
# and resources/fieldbuttons.rc with ImageMagick: python3 tools/make-button-bitmaps.py resources
# Large buttons are 30 x 13 with a word, small ones 13 x 13 with a glyph; the drop-down arrow 9 x 11.
# The bitmaps get numeric ids, 8100 + their row in the button table of pages/fieldbuttons_create.cpp
# (the named lookups of resources from several .rc objects are not reliable once linked).
# Button 242's menu shows the pictures 791, 790 and 792 beside its first, third and fourth items.
import subprocess, struct, sys
VGA=[(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
     (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
LARGE={'BTN_GEN_BMP':'Gen','BTN_IMPORT_BMP':'Imp','BTN_INFO_BMP':'Info','BTN_SPREAD_BMP':'Grid',
 'BTN_STMT_BMP':'Stmt','BTN_INFOEXPLAIN_BMP':'Expl','BTN_WORKSHEET_BMP':'Wks','BTN_VIEWPDF_BMP':'PDF',
 'BTN_GENPDF_BMP':'+PDF','BTN_FOLDER_BMP':'Dir','BTN_DUMMY':''}
SMALL={'BTNS_EIC_BMP':('E','#000080'),'BTNS_CTC_BMP':('C','#000080'),'BTNS_INFO_BMP':('i','#000080'),
 'BTNS_PLUS_BMP':('+','#008000'),'BTNS_MINUS_BMP':('-','#800000'),'BTNS_STMT_BMP':('S','#000080'),
 'BTNS_WORKSHEET_BMP':('W','#008080'),'BTNS_SEND_BMP':('>','#008000'),'BTNS_GLOBE_BMP':('@','#000080'),
 'BTNS_PASTE_BMP':('P','#800080'),'BTNS_ROLLOVER_BMP':('R','#008080'),'BTNS_GRNDOLLAR_BMP':('$','#008000'),
 'BTNS_REDDOLLAR_BMP':('$','#FF0000'),'BTNS_IRS_BMP':('I','#000080'),'BTNS_X_BMP':('X','#800000'),
 'BTNS_FLAG_BMP':('F','#FF0000'),'BTNS_TAX_BMP':('T','#000080'),'BTNS_PAY_BMP':('$','#000080'),
 'BTNS_NOT_BMP':('!','#FF0000'),'BTNS_TP1_BMP':('1','#000080'),'BTNS_TP2_BMP':('2','#000080'),
 'BTNS_MORE_BMP':('m','#000080'),'BTNS_NOTE_BMP':('N','#808000'),'BTNS_DAYS_BMP':('D','#008080'),
 'BTNS_WINDOW_BMP':('w','#000080'),'BTNS_PUERTORICO_BMP':('P','#FF0000'),'BTNS_PLUSMINUS_BMP':('#','#008000'),
 'BTNS_ASTRED_BMP':('*','#FF0000'),'BTNS_ASTBLUE_BMP':('*','#0000FF'),'BTNS_ASTGREEN_BMP':('*','#008000'),
 'BTNS_INTEREST_BMP':('%','#800000'),'BTNS_MFS_BMP':('M','#000080'),'BTNS_ADJ_BMP':('A','#000080'),
 'BTNS_GOTO_BMP':('G','#008000'),'BTNS_MORE2_BMP':('+','#000080'),'BTNS_PIN_BMP':('#','#800000')}
MENU={790:('!','#808000'),791:('E','#000080'),792:('?','#008080')}
def nearest(c):
    return min(range(16),key=lambda i:sum((a-b)**2 for a,b in zip(c,VGA[i])))
def write(path,w,h,args):
    out=subprocess.run(['convert','-size','%dx%d'%(w,h),'xc:#C0C0C0']+args+['+antialias','-depth','8','ppm:-'],
        capture_output=True,check=True).stdout
    parts=out.split(b'\n',3); data=parts[3]
    px=[nearest(tuple(data[(y*w+x)*3:(y*w+x)*3+3])) for y in range(h) for x in range(w)]
    rowbytes=((w*4+31)//32)*4; rows=b''
    for y in range(h-1,-1,-1):
        r=bytearray(rowbytes)
        for x in range(w):
            v=px[y*w+x]
            r[x//2]|= (v<<4) if x%2==0 else v
        rows+=bytes(r)
    pal=b''.join(struct.pack('<BBBB',b,g,r,0) for (r,g,b) in VGA)
    off=14+40+len(pal)
    hdr=b'BM'+struct.pack('<IHHI',off+len(rows),0,0,off)
    info=struct.pack('<IiiHHIIiiII',40,w,h,1,4,0,len(rows),3780,3780,16,0)
    open(path,'wb').write(hdr+info+pal+rows)
folder=sys.argv[1]
import os, re
table=open(os.path.join(os.path.dirname(os.path.abspath(__file__)),'..','pages','fieldbuttons_create.cpp')).read()
order=re.findall(r'"(BTNS?_[A-Z0-9_]+)"', table.split('kButtonBitmaps[]')[1].split('};')[0])
lines=['// The faces of the field buttons drawn over form pages: id 8100 + the row of their name in the',
       '// button table (pages/fieldbuttons_create.cpp); made by tools/make-button-bitmaps.py.','']
for row,name in enumerate(order):
    f='button_%s.bmp'%name.lower()
    if name in LARGE:
        word=LARGE[name]
        args=['-fill','#000080','-font','DejaVu-Sans-Bold','-pointsize','10','-gravity','center','-annotate','+0+0',word] if word else []
        write(folder+'/'+f,30,13,args)
    else:
        glyph,colour=SMALL[name]
        write(folder+'/'+f,13,13,['-fill',colour,'-font','DejaVu-Sans-Bold','-pointsize','12','-gravity','center','-annotate','+0+0',glyph])
    lines.append('%d BITMAP "%s"   // %s'%(8100+row,f,name))
lines+=['','// The pictures beside items of button 242\'s menu.']
for number,(glyph,colour) in sorted(MENU.items()):
    f='button_menu_%d.bmp'%number
    write(folder+'/'+f,13,13,['-fill',colour,'-font','DejaVu-Sans-Bold','-pointsize','12','-gravity','center','-annotate','+0+0',glyph])
    lines.append('%d BITMAP "%s"'%(number,f))
open(folder+'/fieldbuttons.rc','w').write('\n'.join(lines)+'\n')
print(len(LARGE)+len(SMALL))
