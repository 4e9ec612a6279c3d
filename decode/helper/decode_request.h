#pragma once
// The work of the decoding helper process: a picture of any format of the
// picture group, recognised by its content, decoded by the first decoder that
// takes it.

#include <QImage>

#include "picture_image.h"

namespace picture {

// A decoder tried before all others (the tests give one that misbehaves).
using FirstDecoder = Decoded (*)(Bytes file);

// The first image of the file, at its natural size: a picture of our
// decoders or of Qt's (kept as Qt made it, to save copies of large pictures).
struct AnyPicture {
  Decoded own;
  QImage qt;  // 32-bit RGB or ARGB
  bool Empty() const { return !own && qt.isNull(); }
  QSize Size() const { return own ? QSize(own->width, own->height) : qt.size(); }
};
// Empty when no decoder takes the bytes.
AnyPicture DecodeAnyPicture(Bytes file, FirstDecoder first = nullptr);

// The helper's main: "picture FILE" decodes FILE, "archive FILE LIBRARY"
// lists the archive FILE with the 7-Zip library LIBRARY; the answer goes to
// descriptor 3. Exit status 0 with an answer, 1 when the file is no picture,
// 2 on a wrong call.
int RunDecodeHelper(int argc, char** argv, FirstDecoder first = nullptr);

}  // namespace picture
