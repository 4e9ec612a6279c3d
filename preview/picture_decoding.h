#pragma once
// Decodes a picture file for the preview through the decoding helper process
// ("quillon-decode"), started per request under a time limit of 5 s and a
// memory limit of 1 GiB. A picture no decoder takes, and a helper that
// crashes, hangs or runs out of memory, all give a null image.

#include <QImage>
#include <QString>

#include "helper_process.h"

// The helper next to this program, else the one of the build tree.
QString DecodeHelperPath();
// Makes every later decode use this helper (the tests' misbehaving one);
// an empty path returns to the usual helper.
void SetDecodeHelperPath(const QString& path);

// The limits of every later decode (the tests' stand-in for a slow
// machine); the defaults are 5 s and 1 GiB.
void SetDecodeLimits(const helper::Limits& limits);
const helper::Limits& DecodeLimits();

struct PictureDecode {
  QImage image;
  helper::Outcome outcome = helper::Outcome::NotStarted;
};
PictureDecode DecodePictureFile(const QString& path, const helper::Limits& limits = DecodeLimits());
