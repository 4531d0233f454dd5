// The peer tool's reading of a recording, on any text: a bad file is named by a line that
// exists, and what is read is written back as lines that read the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/peer/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<RecordedDatagram> read;
  RecordingError error;
  if (!parse_recording(text, read, error)) {
    size_t lines = 1;
    for (char c : text)
      lines += c == '\n';
    if (error.line < 1 || error.line > lines || error.message.empty()) std::abort();
    return 0;
  }
  std::string written;
  for (const RecordedDatagram& d : read)
    written += recording_line(d) + "\n";
  std::vector<RecordedDatagram> again;
  if (!parse_recording(written, again, error) || again.size() != read.size()) std::abort();
  for (size_t i = 0; i < read.size(); ++i)
    if (again[i].time_ms != read[i].time_ms || again[i].peer != read[i].peer ||
        again[i].from_hub != read[i].from_hub || again[i].bytes != read[i].bytes)
      std::abort();
  return 0;
}
