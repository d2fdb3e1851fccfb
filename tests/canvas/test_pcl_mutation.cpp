// A deterministic mutation test of the page interpreter: real and hand-built streams are damaged
// in many ways (bytes flipped, cut, repeated, hostile sequences put in) and every damaged stream
// must render or be refused without a crash, a hang or a leaked drawing object.
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"
#include <string>
#include <vector>

using namespace pclgen;

namespace {

struct Random {
    unsigned long long state;
    explicit Random(unsigned long long seed) : state(seed * 2654435761ull + 1) {}
    unsigned Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (unsigned)(state >> 11);
    }
    unsigned Below(unsigned n) { return n ? Next() % n : 0; }
};

// Sequences that stress the bounds: huge, negative and missing counts, tables, modes.
const char *const kHostile[] = {
    "\x1b*b-99999W", "\x1b*b99999999W", "\x1b*b5M", "\x1b*b3M", "\x1b*b1M", "\x1b*r99999S", "\x1b*r99999T",
    "\x1b*r-5S", "\x1b*r1A", "\x1b*t-300H", "\x1b*t99999999V", "\x1b*p-99999999X", "\x1b*p+99999999Y",
    "\x1b*p13X", "\x1b&u99999D", "\x1b&u0D", "\x1b*l999O", "\x1b*l-1O", "\x1b*l204O", "\x1b*c-9D",
    "\x1b*c65535D", "\x1b*c99999E", "\x1b*c-1E", "\x1b(s3W", "\x1b(s99999W", "\x1b)s2W", "\x1b&p-7X",
    "\x1b&p99999X", "\x1b&p6C", "\x1b&p65535I", "\x1b&p70000S", "\x1b*v999S", "\x1b*v-1I", "\x1b*v255I",
    "\x1b*v300A", "\x1b*c99999a99999b2P", "\x1b*c5000a5000b3P", "\x1b*c50G", "\x1b%1B", "\x1b%0A",
    "\x1b%-12345X", "\x1b*t600R", "\x1b*t300R", "\x1b*p", "\x1b", "@PJL", "\f",
    "\x1b*r2400s9000T\x1b*b5M\x1b*b0W\r\x1b*b0W", "A\x80\r", "A\x80\x1b", "A\x80\f",
};
const char *const kHpgl[] = {
    "IN;", "PM0;", "PM1;", "PM2;", "EP;", "FP;", "FP1;", "SP0;", "SP99;", "SP-5;", "PC1,255,0,0;", "PC;",
    "IW;", "IW1,2,3,4;", "SC0,0,0,0;", "SC1,2;", "IP0,0,0,0;", "RF9,8,8;", "RF2,400,400;", "RF1,8,2,1,0,1;",
    "RR99999,99999;", "RR-50,-50;", "BZ1,2,3,4,5,6;", "BZ;", "LB\x03", "LBabc", "PU;", "PU1;", "AC;",
    "FT11,99;", "MC1,999;", "TR;", "PE;", "PE<=", "PE=\xbf\xbf\xbf", "PE\x7f\x80\xc0;",
    "99999999999999999999999999999999;", ",,,,;", "PU2147483647,2147483647;",
    "PU-2147483647,100;LBA\x03", "PU100,-2147483647;LBA\x03", "PU0,0;PM0;PD1000000000,0,0,1000000000;PM2;FP;",
};

// Small streams that once crashed the interpreter or took half a minute: far pen positions
// handed to the text painter, empty colour transfers announcing huge images, fills with corners
// far off the page, two-byte codes cut by the end of a text run.
std::string HostileStream(int which)
{
    std::string s;
    Esc(s, "E");
    Cmd(s, "*c", 5, 'D');
    // 'A' reaches one dot left of and below its cursor: at the most negative pen position its
    // corner is one dot past the 32-bit range.
    CharDownload(s, 'A', -1, 1, 8, 8, 40, std::string(8, '\xFF'));
    switch (which) {
    case 0:
    case 1:
        Esc(s, "%0B");
        s += which == 0 ? "IN;PU-2147483647,100;LBA\x03" : "IN;PU100,-2147483647;LBA\x03";
        Esc(s, "%0A");
        break;
    case 2:
        Esc(s, "*r2400s9000T");
        Esc(s, "*b5M");
        for (int i = 0; i < 1000; i++) s += std::string("\x1b*b0W\r", 6);
        break;
    case 3:
        Esc(s, "%0B");
        s += "IN;SP1;PC1,0,0,0;";
        for (int i = 0; i < 10; i++) {
            s += "PU0,0;PM0;";
            Pe(s, "=", {{-1000000000, -1000000000}, {1000000000, -1000000000}, {0, 1000000000}});
            s += "FP;";
        }
        Esc(s, "%0A");
        break;
    }
    s += '\f';
    return s;
}
const int kHostileStreams = 4;

std::string Mutate(const std::string &base, Random &r)
{
    std::string s = base;
    int edits = 1 + (int)r.Below(6);
    for (int e = 0; e < edits; e++) {
        unsigned at = r.Below((unsigned)s.size() + 1);
        switch (r.Below(8)) {
        case 0:   // flip bytes
            for (int k = 0; k < 8 && at + k < s.size(); k++) s[at + k] = (char)r.Below(256);
            break;
        case 1:   // cut the stream short
            s.resize(at);
            break;
        case 2:   // delete a stretch
            s.erase(at, r.Below(400));
            break;
        case 3: {  // repeat a stretch
            unsigned n = r.Below(300);
            s.insert(at, s.substr(at, n));
            break;
        }
        case 4:   // a hostile PCL sequence
            s.insert(at, kHostile[r.Below(sizeof kHostile / sizeof kHostile[0])]);
            break;
        case 5:   // an HP-GL/2 command
            s.insert(at, kHpgl[r.Below(sizeof kHpgl / sizeof kHpgl[0])]);
            break;
        case 6: {  // random bytes
            unsigned n = 1 + r.Below(40);
            for (unsigned k = 0; k < n; k++) s.insert(s.begin() + (at < s.size() ? at : s.size()), (char)r.Below(256));
            break;
        }
        default:   // a digit of a value changed
            for (unsigned k = at; k < s.size(); k++) {
                if (s[k] >= '0' && s[k] <= '9') {
                    s[k] = (char)('0' + r.Below(10));
                    if (r.Below(2)) s.insert(k, "9999");
                    break;
                }
            }
            break;
        }
    }
    return s;
}

} // namespace

TEST(PclMutation, DamagedStreamsNeverCrashHangOrLeak)
{
    SetDefaultMessageBoxAnswer(IDOK);
    std::vector<std::string> bases;
    bases.push_back(FeaturePage());
    bases.push_back(VectorPage());
    bases.push_back(DenseTextPage(RasteriseFont("Arial", 24), 24));
    std::string irs;
    if (ReadWholeFile(BuildPath("testdata/f1040-1.pcl"), &irs)) bases.push_back(irs);
    if (ReadWholeFile(BuildPath("testdata/f1040sb-1.pcl"), &irs)) bases.push_back(irs);
    for (int i = 0; i < kHostileStreams; i++) bases.push_back(HostileStream(i));

    // The originals render.
    for (const std::string &b : bases) {
        HBITMAP page = RenderPclRange((const unsigned char *)b.data(), 0, (unsigned)b.size(), 0, NULL, NULL, NULL, NULL);
        EXPECT_TRUE(page);
        if (page) DeleteObject(page);
    }
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD started = GetTickCount();
    Random r(20240415);
    int rendered = 0, refused = 0, tried = 0;
    const int kMutants = 4000;
    for (int i = 0; i < kMutants; i++) {
        if (GetTickCount() - started > 40000) break;   // the whole test stays under a minute
        const std::string &base = bases[i % bases.size()];
        std::string m = Mutate(base, r);
        tried++;
        unsigned stop = 0;
        DWORD t0 = GetTickCount();
        HBITMAP page = RenderPclRange((const unsigned char *)m.data(), 0, (unsigned)m.size(), (i % 17) == 0, NULL,
                                      NULL, NULL, &stop);
        EXPECT_LT(GetTickCount() - t0, 5000u) << "mutant " << i << " took too long";
        EXPECT_LE(stop, m.size());
        if (page) {
            rendered++;
            DeleteObject(page);
        } else {
            refused++;
        }
        // Every page after it starts from a clean state: the soft fonts are dropped now and then.
        if (i % 50 == 49) FreeFormRecords();
    }
    FreeFormRecords();
    FreeShapeCache();
    DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdiBefore) {
        EXPECT_LE(gdiAfter, gdiBefore + 4) << "drawing objects leaked";
    }
    EXPECT_GT(tried, 100);
    EXPECT_GT(rendered, tried / 4);
    SetDefaultMessageBoxAnswer(0);
    printf("mutants: %d tried, %d rendered, %d without a page, %lu ms, GDI objects %lu -> %lu\n", tried, rendered,
           refused, (unsigned long)(GetTickCount() - started), (unsigned long)gdiBefore, (unsigned long)gdiAfter);
}

// Each hostile stream renders its page, at a cost in keeping with its few kilobytes, and draws
// only what lies on the page.
TEST(PclMutation, HostileStreamsRenderWithoutACrashOrAHang)
{
    SetDefaultMessageBoxAnswer(IDOK);
    struct {
        int which;
        int inkExpected;   // 1: the fill covers part of the page; 0: the page stays white
    } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}};
    for (const auto &c : cases) {
        FreeFormRecords();
        std::string s = HostileStream(c.which);
        ASSERT_LT(s.size(), 8000u);
        DWORD t0 = GetTickCount();
        unsigned stop = 0;
        HBITMAP page = RenderPclRange((const unsigned char *)s.data(), 0, (unsigned)s.size(), 0, NULL, NULL, NULL,
                                      &stop);
        EXPECT_LT(GetTickCount() - t0, 5000u) << "stream " << c.which << " took too long";
        ASSERT_TRUE(page) << c.which;
        EXPECT_EQ(s.size(), stop) << c.which;
        PageInk ink;
        ASSERT_TRUE(ReadPageInk(page, &ink));
        DeleteObject(page);
        long long black = ink.CountBlack(0, 0, ink.width, ink.height);
        if (c.inkExpected) {
            // The triangle holds the whole page: the page is inked.
            EXPECT_GT(black, 1000000) << c.which;
        } else {
            EXPECT_EQ(0, black) << c.which;
        }
    }
    FreeFormRecords();
    FreeShapeCache();
    SetDefaultMessageBoxAnswer(0);
}
