#include "cli/usage.h"

namespace gorv {

std::string usage_text(const char* build_date) {
  std::string text = "\n\n";
  text += "GorvTool, written anew by the GorvTool project\n";
  text += "GorvTool: Data converter for Gorvan\n";
  text += build_date;
  text += "\n\n";
  text += "USAGE: gorvtool.exe [rom.bin] [options]\n";
  text += " -info XX\t\tDisplay header data for level XX\n";
  text += " -map XX\t\tDump data for map XX\n";
  text += "   -block XX\t\tIgnore all blocks in map dump but XX\n";
  text += " -theme X\t\tDump data for theme X\n";
  text += " -decompress XXXXXX\tDump data at address XXXXXX\n";
  text += " -resource\t\tCreate the \"gorvedit.dat\" file needed by GorvEdit\n";
  text += " -import\t\tImport all \"mapXX.gvm\" files to the ROM\n";
  text += "\nAll numbers must be in hexadecimal format\n\n";
  return text;
}

}  // namespace gorv
