// -decompress: the product of one LZ stream, written to 0x<ADDRESS>.dat.
#pragma once

#include <cstdint>
#include <string>

#include "export/export_file.h"
#include "rom/rom_image.h"

namespace gorv {

// "0xADDRESS.dat" with the address in upper-case hexadecimal.
std::string raw_dump_file_name(std::uint32_t address);

ExportResult dump_raw(Bytes rom, std::uint32_t address);

}  // namespace gorv
