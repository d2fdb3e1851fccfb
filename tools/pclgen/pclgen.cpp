// pclgen OUTDIR - writes the hand-built sample streams as files for pclrender and pagebench:
// features.pcl (every feature the interpreter draws), softfont.pcl (a dense page of text in a
// bitmap soft font rasterised from a TrueType font) and hpgl.pcl (an HP-GL/2-heavy page).
#include <windows.h>
#include <stdio.h>
#include <string>
#include "tools/pclgen/pclstreams.h"

static int WriteStream(const std::string &folder, const char *name, const std::string &data)
{
    std::string path = folder + "\\" + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "pclgen: cannot write %s\n", path.c_str());
        return 0;
    }
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    printf("%s (%u bytes)\n", path.c_str(), (unsigned)data.size());
    return 1;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: pclgen OUTDIR\n");
        return 1;
    }
    std::string folder = argv[1];
    int ok = WriteStream(folder, "features.pcl", pclgen::FeaturePage());
    ok &= WriteStream(folder, "softfont.pcl", pclgen::DenseTextPage(pclgen::RasteriseFont("Arial", 40), 40));
    ok &= WriteStream(folder, "hpgl.pcl", pclgen::VectorPage());
    return ok ? 0 : 1;
}
