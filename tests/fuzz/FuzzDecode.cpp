// libFuzzer target: one decoder of the image library on arbitrary bytes.
// FUZZ_FORMAT picks the decoder (0 tries them all, as detection does).
#include <cstdint>
#include <vector>

#include "imaging/ImageFile.h"
#include "imaging/RasterImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> copy(data, data + size);
  ImageMemFile file(copy.empty() ? nullptr : copy.data(), copy.size());
  if (copy.empty()) file.Open();
  RasterImage image;
  const bool decoded = image.Decode(&file, FUZZ_FORMAT);
  // Frames after the first go through the compositing paths.
  if (image.GetNumFrames() > 1) {
    RasterImage last;
    last.SetFrame(image.GetNumFrames() - 1);
    file.Seek(0, SEEK_SET);
    last.Decode(&file, FUZZ_FORMAT);
  }
  // A decoded image must survive the export's road (big ones only slow
  // the search down).
  if (decoded && image.IsValid() && uint64_t(image.GetWidth()) * image.GetHeight() <= (1u << 20)) {
    image.ReduceBitDepth(8);
    ImageMemFile out;
    out.Open();
    image.Encode(&out, kFormatGif);
  }
  return 0;
}
