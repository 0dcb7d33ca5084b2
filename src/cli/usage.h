// The usage text, printed when the arguments fit no accepted shape.
#pragma once

#include <string>

namespace gorv {

// The whole usage text with its banner; `build_date` is the build date in
// the compiler's form ("Mmm dd yyyy").
std::string usage_text(const char* build_date);

}  // namespace gorv
