// -resource: the editor's resource file gorvedit.dat.
#pragma once

#include "export/export_file.h"
#include "rom/rom_image.h"

namespace gorv {

ExportResult write_resource_file(Bytes rom);

}  // namespace gorv
