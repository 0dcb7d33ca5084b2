// The front end's one message table: for every message of every layer its
// text, whether it is an error, whether it may pause and the exit status it
// gives. Standard output is written only through here.
#pragma once

#include <string>

#include "codec/block_encoder.h"
#include "codec/bps.h"
#include "common/console.h"
#include "format/map_file.h"
#include "report/report.h"

namespace gorv {

// The exit statuses.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusError = 1;
inline constexpr int kStatusUsage = 2;

// Where messages go, and the run's exit status so far (the highest status
// of any message shown).
struct Output {
  Console& console;
  int status = kStatusOk;
};

// Shows one message; when `pausing` (the mode waits for the user after its
// errors) and the message may pause, pauses after it.
void show(Output& out, const Message& message, bool pausing);
void show(Output& out, const Report& report, bool pausing);

// The whole text of a message as printed ("ERROR: " and all), and whether
// it is an error: for the tests and for callers that collect text.
std::string message_text(const Message& message);
std::string report_text(const Report& report);
bool report_has_error(const Report& report);

// What is wrong with a patch that bps_apply refused, in one line.
std::string bps_error_text(const BpsApplyResult& result);

// What is wrong with a damaged map file, in one line (the import, the
// preview and the compare say it under their error line).
std::string map_file_damage_text(const MapFileDamage& damage);

// Why the block layout encoder refused a map of this width and size byte.
std::string block_encode_error_text(const BlockEncoding& encoding, std::uint8_t width,
                                    std::uint8_t size_byte);

}  // namespace gorv
