// Helpers shared by the packed-file tests.
#ifndef LEVYLINE_TEST_PACKED_UTIL_H
#define LEVYLINE_TEST_PACKED_UTIL_H

#include "store/store.h"

#include <string>
#include <vector>

std::string TempPath(const char *name);
std::vector<uint8_t> ReadAll(const std::string &path);
void WriteAll(const std::string &path, const std::vector<uint8_t> &data);
// Recomputes the checksum of a file image whose header is stored scrambled, and scrambles again.
void ResealImage(std::vector<uint8_t> &image);
PackedFileHeader ClearHeader(const std::vector<uint8_t> &image);
std::vector<uint8_t> MakeSignatureBlock(uint32_t bits);
FieldTable *MakeSampleFields(int withSignature);
// Writes the sample FormPak (two PCL pages of "Form 9999", one BMP page of "Schedule Z").
std::string MakeSampleFormPak(const char *name, int method);

#endif
