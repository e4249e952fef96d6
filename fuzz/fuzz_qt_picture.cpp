// LoadPicture on the Qt realisation: arbitrary bytes as an image file. Either a picture of the
// decoded size comes back, or Error 481 (no picture), or Error 7 (a picture larger than any
// bitmap); nothing else may happen.

#include <QCoreApplication>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/qt/QtSupport.h"
#include "runtime/Error.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);  // the image format plug-ins are found through it
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const tamarind::platform::PictureRef p = tamarind::platform::qt::ReadPicture(bytes);
    if (p->IsEmpty() || p->Pixels().size() != static_cast<size_t>(p->WidthPx()) * static_cast<size_t>(p->HeightPx()))
      std::abort();
  } catch (const tamarind::Error& e) {
    if (e.Number() != tamarind::err::InvalidPicture && e.Number() != tamarind::err::OutOfMemory) std::abort();
  }
  return 0;
}
