// -decompress: the product of one LZ stream, written to 0x<ADDRESS>.dat.
#pragma once

#include <cstdint>
#include <string>

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// "0xADDRESS.dat" with the address in upper-case hexadecimal.
std::string raw_dump_file_name(std::uint32_t address);

void dump_raw(Console& console, Bytes rom, std::uint32_t address, OutputBuffer& buffer);

}  // namespace gorv
